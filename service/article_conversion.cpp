#include "article_conversion.h"

#include <new>

#include "convert_article_file.h"
#include "loader_settings.h"
#include "loader_settings.h"
#include "text_file.h"

namespace zelko::service {

std::variant<Receipt, LoaderFailure> ReceiptFromArticles(const HostServices& host, const ArticleRequest& request) {
  try {
    LoaderSettings settings = SettingsFromCommandLine(request.lowSpeed ? "-LS" : "");
    RequireConfigFile(host);
    ReadConfigFile(host, ConfigFilePath(host), settings);
    TextReader articles(SourceOf(request.articleFile));
    const ArticleConversion conversion = ConvertArticles(articles, false);
    if (conversion.failure != 0) {
      return LoaderFailure{conversion.failure, "Errore nella creazione del file " + std::string(kCommandFilePath)};
    }
    return ReceiptOf(PortLine(settings), SpeedLine(settings), conversion.CommandLines());
  } catch (const LoaderFailure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return LoaderFailure{failure::kOutOfMemory, "Memoria esaurita"};
  }
}

}  // namespace zelko::service
