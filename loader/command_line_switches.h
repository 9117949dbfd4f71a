#pragma once

#include <string_view>

#include "loader_settings.h"

namespace zelko {

// The settings that the command line decides, with the defaults beside them:
// the switches "-CF", "-LS" and "-HS" are found anywhere and in any case and
// cut out (the text left is then upper case), and what is left, trimmed, is
// the article path (empty when none was given).
LoaderSettings SettingsFromCommandLine(std::string_view commandLine);

}  // namespace zelko
