#include "operator_selection.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "default_operator.h"
#include "operator_log.h"
#include "script_operator.h"
#include "text.h"
#include "unattended_operator.h"

namespace zelko {

namespace {

constexpr std::string_view kScriptPrefix = "script:";

std::unique_ptr<Operator> MakeScriptOperator(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file) std::cerr << "ZELKO_OPERATOR: cannot read the script " << path << "; answering unattended\n";
  return std::make_unique<ScriptOperator>(ParseScriptAnswers(text.str()), std::make_unique<UnattendedOperator>());
}

std::unique_ptr<Operator> OperatorNamed(const char* name) {
  if (!name || !*name) return MakeDefaultOperator();
  const std::string_view value = name;
  if (EqualsIgnoreCaseAscii(value, "unattended")) return std::make_unique<UnattendedOperator>();
  if (EqualsIgnoreCaseAscii(value.substr(0, kScriptPrefix.size()), kScriptPrefix)) {
    return MakeScriptOperator(std::string(value.substr(kScriptPrefix.size())));
  }
  std::cerr << "ZELKO_OPERATOR: unknown operator \"" << value << "\"; answering unattended\n";
  return std::make_unique<UnattendedOperator>();
}

}  // namespace

std::unique_ptr<Operator> SelectOperator() {
  std::unique_ptr<Operator> chosen = OperatorNamed(std::getenv("ZELKO_OPERATOR"));
  if (const char* log = std::getenv("ZELKO_OPERATOR_LOG"); log && *log) {
    chosen = std::make_unique<LoggingOperator>(std::move(chosen), log);
  }
  return chosen;
}

}  // namespace zelko
