// Byte texts of the engine shown in Qt's widgets.
#ifndef KORVELO_UI_QT_TEXT_H_
#define KORVELO_UI_QT_TEXT_H_

#include <QString>
#include <string_view>

namespace korvelo {

// The engine's bytes as UTF-8; bytes that are not UTF-8 show as U+FFFD.
inline QString FromBytes(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace korvelo

#endif  // KORVELO_UI_QT_TEXT_H_
