// Prints the control inspection's findings, one per line:
// ok|FAIL <TAB> id <TAB> text <TAB> remedy. Exit status 0 when every one holds.
#include <cstdio>

#include "control_inspection.h"

int main() {
  int status = 0;
  for (const zelko::ControlFinding& finding : zelko::InspectRegisterControl()) {
    std::printf("%s\t%s\t%s\t%s\n", finding.ok ? "ok" : "FAIL", finding.id.c_str(), finding.text.c_str(),
                finding.remedy.c_str());
    if (!finding.ok) status = 1;
  }
  return status;
}
