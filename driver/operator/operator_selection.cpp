#include "operator_selection.h"

#include <optional>
#include <ostream>
#include <string>

#include "default_operator.h"
#include "operator_log.h"
#include "script_operator.h"
#include "unattended_operator.h"

namespace zelko {

namespace {

std::unique_ptr<Operator> MakeScriptOperator(const std::string& path, const HostServices& host,
                                             std::ostream& diagnostics) {
  // Read without waiting: a FIFO or a folder is no script.
  const std::optional<std::string> text = ReadAll(host.OpenRead(path));
  if (!text) diagnostics << "ZELKO_OPERATOR: cannot read the script " << path << "; answering unattended\n";
  return std::make_unique<ScriptOperator>(ParseScriptAnswers(text.value_or("")),
                                          std::make_unique<UnattendedOperator>());
}

std::unique_ptr<Operator> OperatorChosen(const DriverEnvironment& environment, const HostServices& host,
                                         std::ostream& diagnostics) {
  switch (environment.theOperator.kind) {
    case OperatorChoice::Kind::HostDefault:
      return MakeDefaultOperator();
    case OperatorChoice::Kind::Unattended:
      return std::make_unique<UnattendedOperator>();
    case OperatorChoice::Kind::Script:
      return MakeScriptOperator(environment.theOperator.script, host, diagnostics);
    case OperatorChoice::Kind::Unknown:
      break;
  }
  diagnostics << "ZELKO_OPERATOR: unknown operator \"" << environment.operatorSetting << "\"; answering unattended\n";
  return std::make_unique<UnattendedOperator>();
}

}  // namespace

std::unique_ptr<Operator> SelectOperator(const DriverEnvironment& environment, const HostServices& host,
                                         std::ostream& diagnostics) {
  std::unique_ptr<Operator> chosen = OperatorChosen(environment, host, diagnostics);
  if (!environment.operatorLog.empty()) {
    chosen = std::make_unique<LoggingOperator>(std::move(chosen), host, environment.operatorLog, diagnostics);
  }
  return chosen;
}

}  // namespace zelko
