#include "ui/maker_site.h"

namespace korvelo {

const std::string_view kMakerSiteBase = KORVELO_MAKER_SITE_BASE;

namespace {

QString OnMakerSite(const char* path) {
  return QString::fromUtf8(kMakerSiteBase.data(),
                           static_cast<qsizetype>(kMakerSiteBase.size())) +
         QLatin1String(path);
}

}  // namespace

QString DownloadAddress() { return OnMakerSite("/en/download"); }

QString HelpAddress() { return OnMakerSite("/en/hilfe/Korvelo-faq.php"); }

}  // namespace korvelo
