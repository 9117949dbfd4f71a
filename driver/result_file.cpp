#include "result_file.h"

#include <ostream>

#include "text_file.h"

namespace zelko {

bool WriteResultFile(const HostServices& host, const std::string& path, const std::string& line1,
                     const std::string& line2) {
  auto sink = host.Create(path, HostServices::CreateMode::AtomicReplace);
  if (!sink) return false;
  TextWriter writer(std::move(sink));
  writer.WriteLine(line1);
  writer.WriteLine(line2);
  return writer.Close();
}

int WriteRunResult(const DriverRun& run, const std::string& line1, const std::string& line2, int exitStatus) {
  if (WriteResultFile(run.host, run.files.resultFilePath, line1, line2)) return exitStatus;
  run.diagnostics << "ZelkoDriver: the result file \"" << run.files.resultFilePath << "\" could not be written\n";
  return kExitResultNotWritten;
}

}  // namespace zelko
