// A settings file of a test's own, in the INI format the program uses.
#ifndef KORVELO_TESTS_UI_INI_STORE_H_
#define KORVELO_TESTS_UI_INI_STORE_H_

#include <QSettings>
#include <memory>
#include <string>

namespace korvelo::testing {

inline std::unique_ptr<QSettings> IniStore(const std::string& path) {
  return std::make_unique<QSettings>(QString::fromStdString(path),
                                     QSettings::IniFormat);
}

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_UI_INI_STORE_H_
