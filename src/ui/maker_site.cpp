#include "ui/maker_site.h"

#include "ui/qt_text.h"

namespace korvelo {

const std::string_view kMakerSiteBase = KORVELO_MAKER_SITE_BASE;

namespace {

QString OnMakerSite(const char* path) {
  return FromBytes(kMakerSiteBase) + QLatin1String(path);
}

}  // namespace

QString DownloadAddress() { return OnMakerSite("/en/download"); }

QString HelpAddress() { return OnMakerSite("/en/hilfe/Korvelo-faq.php"); }

}  // namespace korvelo
