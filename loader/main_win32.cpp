#include <windows.h>

#include "host_backend.h"
#include "run_loader.h"

// The loader ends itself through ExitProcess, with the run's failure number
// as the 32-bit exit code (-1 and -2 arrive as 0xFFFFFFFF and 0xFFFFFFFE).
int main(int argc, char** argv) {
  const std::int32_t failure = zelko::RunLoader(*zelko::MakeHostServices(argc, argv));
  ExitProcess(static_cast<UINT>(failure));
}
