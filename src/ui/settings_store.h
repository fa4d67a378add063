// The persisted options: ConversionSettings loaded from and saved to the
// user's settings store (QSettings; on Linux $XDG_CONFIG_HOME/Brannoc/
// Korvelo.conf, on Windows the registry key Software\Brannoc\Korvelo).
#ifndef KORVELO_UI_SETTINGS_STORE_H_
#define KORVELO_UI_SETTINGS_STORE_H_

#include <QSettings>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "output/conversion_settings.h"

namespace korvelo {

// One field of the settings, as a row of the stored values names it.
using SettingsField =
    std::variant<bool ConversionSettings::*, int32_t ConversionSettings::*,
                 std::string ConversionSettings::*>;

// The current user's store of the program. Needs no QCoreApplication.
std::unique_ptr<QSettings> OpenUserSettings();

// The stored text of `name`, byte for byte; the empty text when the value is
// missing or cannot be read. Values of any length are read whole.
std::string ReadRegistryString(QSettings& store, std::string_view name);

// Stores `text` unchanged under `name`. Texts that are valid UTF-8 are kept
// readable in the file; any other bytes are kept as a byte array. True when
// the store accepted the value (callers may ignore it).
bool WriteRegistryString(QSettings& store, std::string_view name,
                         std::string_view text);

// Replaces every field from the store: a flag is true only for the
// text "1", numbers read like atol, a missing value reads as the empty text
// (so false, 0 or the empty path).
void LoadSettings(ConversionSettings& settings, QSettings& store);

// Writes every field (flags and numbers as decimal text) and flushes
// the store. Failures are silent.
void SaveSettings(const ConversionSettings& settings, QSettings& store);

// Writes only `fields`, in the order given, as SaveSettings writes them, and
// flushes the store.
void SaveSettings(const ConversionSettings& settings, QSettings& store,
                  std::initializer_list<SettingsField> fields);

}  // namespace korvelo

#endif  // KORVELO_UI_SETTINGS_STORE_H_
