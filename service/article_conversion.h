#pragma once

#include <variant>

#include "host_services.h"
#include "loader_failure.h"
#include "receipt.h"
#include "request_bodies.h"

namespace zelko::service {

// The receipt that PLUZELKO would write for the request's article file, with
// "config.cmd" beside the service; or the loader's failure, whose number
// PLUZELKO would end with.
std::variant<Receipt, LoaderFailure> ReceiptFromArticles(const HostServices& host, const ArticleRequest& request);

}  // namespace zelko::service
