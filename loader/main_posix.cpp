#include <iostream>
#include <memory_resource>

#include "host_backend.h"
#include "huge_page_memory.h"
#include "prefixed_lines.h"
#include "run_loader.h"

// The exit code is the run's failure number; a POSIX exit status keeps its
// low 8 bits (-1 gives 255, -2 gives 254).
int main(int argc, char** argv) {
  static zelko::HugePageMemory largeBlocks;
  std::pmr::set_default_resource(&largeBlocks);
  zelko::PrefixedLines diagnostics(std::cerr, "PLUZELKO: ");
  return zelko::RunLoader(*zelko::MakeHostServices(argc, argv), diagnostics);
}
