#include "ui/dropped_paths.h"

#include <QUrl>
#include <algorithm>

namespace korvelo {

std::vector<std::string> DroppedPaths(const QMimeData& data) {
  std::vector<std::string> paths;
  if (!data.hasUrls()) return paths;
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) continue;
    // The percent-encoded form keeps every byte of the name; decoding it to
    // a QString would replace bytes that are not UTF-8.
    const QByteArray bytes = QByteArray::fromPercentEncoding(
        url.path(QUrl::FullyEncoded).toLatin1());
    if (!bytes.isEmpty()) paths.emplace_back(bytes.toStdString());
  }
  // std::string compares as unsigned bytes.
  std::stable_sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace korvelo
