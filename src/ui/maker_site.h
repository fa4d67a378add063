// The maker's web site: the help page and the download link of the window.
#ifndef KORVELO_UI_MAKER_SITE_H_
#define KORVELO_UI_MAKER_SITE_H_

#include <QString>
#include <string_view>

namespace korvelo {

// Scheme and host without a trailing slash, set at configure time
// (KORVELO_MAKER_SITE_BASE).
extern const std::string_view kMakerSiteBase;

// kMakerSiteBase + "/en/download", shown in the main window.
QString DownloadAddress();
// kMakerSiteBase + "/en/hilfe/Korvelo-faq.php", opened by Help and F1.
QString HelpAddress();

}  // namespace korvelo

#endif  // KORVELO_UI_MAKER_SITE_H_
