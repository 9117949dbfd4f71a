#include "article_conversion.h"

#include <sstream>

#include "convert_article_file.h"
#include "memory_files_host.h"
#include "run_loader.h"

namespace zelko::service {

namespace {

// Where the loader finds the request's article file; it holds none of the loader's switches.
constexpr const char* kArticlePath = "c:\\ZelkoService\\articoli.txt";

}  // namespace

ArticleConversion ConvertArticles(const HostServices& host, const ArticleRequest& request) {
  MemoryFilesHost files(host);
  files.Serve(kArticlePath, request.articleFile);
  files.Capture(std::string(kCommandFilePath));
  files.SetCommandLineText(std::string(kArticlePath) + (request.lowSpeed ? " -LS" : ""));
  files.SkipRunLocks();
  std::ostringstream diagnostics;
  ArticleConversion conversion{RunLoaderWithReason(files, diagnostics), {}};
  if (conversion.failure.number == 0) conversion.commandFile = files.CapturedBytes(std::string(kCommandFilePath));
  return conversion;
}

}  // namespace zelko::service
