#pragma once

#include <string>

#include "loader_settings.h"

namespace zelko {

// The first two lines of the receipt command file: the port, and the speed
// line "baud,parity,databit,stopbit" (with the defaults "1" and "115200,n,8,1").
std::string PortLine(const LoaderSettings& settings);
std::string SpeedLine(const LoaderSettings& settings);

// The shortest decimal text that reads back as the same value: no decimal
// part for a whole value, "." before a fraction, never an exponent.
std::string ShortestDecimalText(double value);

}  // namespace zelko
