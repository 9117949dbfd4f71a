#pragma once

#include <cstdint>
#include <string>

#include "register_codes.h"

namespace zelko {

// The fields of the register's reply to the status query "<</?s", read by position.

// Characters 1 to 4 read leniently as a number; no number reads as 0 (ready).
std::int32_t StatusCode(const std::string& reply);
// Characters 5 and 6 are "01".
bool ReceiptIsOpen(const std::string& reply);
// The last four characters, or the whole reply when it is shorter.
std::string StatusTail(const std::string& reply);

}  // namespace zelko
