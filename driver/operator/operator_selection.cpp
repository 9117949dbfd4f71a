#include "operator_selection.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "default_operator.h"
#include "operator_log.h"
#include "script_operator.h"
#include "unattended_operator.h"

namespace zelko {

namespace {

// The script's text; empty when it cannot be read (a folder cannot either).
std::optional<std::string> ReadScript(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return text;
}

std::unique_ptr<Operator> MakeScriptOperator(const std::string& path) {
  const std::optional<std::string> text = ReadScript(path);
  if (!text) std::cerr << "ZELKO_OPERATOR: cannot read the script " << path << "; answering unattended\n";
  return std::make_unique<ScriptOperator>(ParseScriptAnswers(text.value_or("")),
                                          std::make_unique<UnattendedOperator>());
}

std::unique_ptr<Operator> OperatorChosen(const DriverEnvironment& environment) {
  switch (environment.theOperator.kind) {
    case OperatorChoice::Kind::HostDefault:
      return MakeDefaultOperator();
    case OperatorChoice::Kind::Unattended:
      return std::make_unique<UnattendedOperator>();
    case OperatorChoice::Kind::Script:
      return MakeScriptOperator(environment.theOperator.script);
    case OperatorChoice::Kind::Unknown:
      break;
  }
  std::cerr << "ZELKO_OPERATOR: unknown operator \"" << environment.operatorSetting << "\"; answering unattended\n";
  return std::make_unique<UnattendedOperator>();
}

}  // namespace

std::unique_ptr<Operator> SelectOperator(const DriverEnvironment& environment) {
  std::unique_ptr<Operator> chosen = OperatorChosen(environment);
  if (!environment.operatorLog.empty()) {
    chosen = std::make_unique<LoggingOperator>(std::move(chosen), environment.operatorLog);
  }
  return chosen;
}

}  // namespace zelko
