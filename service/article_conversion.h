#pragma once

#include <string>

#include "host_services.h"
#include "loader_failure.h"
#include "request_bodies.h"

namespace zelko::service {

struct ArticleConversion {
  LoaderFailure failure;    // number 0 when the conversion succeeded
  std::string commandFile;  // the receipt command file it wrote
};

// The loader's own run on the request's article file, with "config.cmd"
// beside the service; nothing is read from or written to disk but config.cmd.
ArticleConversion ConvertArticles(const HostServices& host, const ArticleRequest& request);

}  // namespace zelko::service
