#include <windows.h>

#include <iostream>

#include "host_backend.h"
#include "prefixed_lines.h"
#include "run_loader.h"

// The loader ends itself through ExitProcess, with the run's failure number
// as the 32-bit exit code (-1 and -2 arrive as 0xFFFFFFFF and 0xFFFFFFFE).
int main(int argc, char** argv) {
  std::int32_t failure = 0;
  {
    zelko::PrefixedLines diagnostics(std::cerr, "PLUZELKO: ");
    failure = zelko::RunLoader(*zelko::MakeHostServices(argc, argv), diagnostics);
  }
  ExitProcess(static_cast<UINT>(failure));
}
