#include "ui/settings_store.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <variant>
#include <vector>

#include "input/input_files.h"
#include "input/text.h"
#include "platform/file_error.h"
#include "platform/files.h"

namespace korvelo {
namespace {

struct StoredValue {
  const char* name;
  SettingsField field;
};

// The one list of stored values, in the order in which they are loaded and
// saved. Each field bears the name of its stored value.
constexpr StoredValue kStoredValues[] = {
    {"bSmallIcons", &ConversionSettings::bSmallIcons},
    {"bShowDisable", &ConversionSettings::bShowDisable},
    {"Mode", &ConversionSettings::Mode},
    {"bExclude", &ConversionSettings::bExclude},
    {"bExcludePeople", &ConversionSettings::bExcludePeople},
    {"bMoveCaches", &ConversionSettings::bMoveCaches},
    {"bOutputKml", &ConversionSettings::bOutputKml},
    {"bOutputAsc", &ConversionSettings::bOutputAsc},
    {"bOutputTxt", &ConversionSettings::bOutputTxt},
    {"bOutputGpx", &ConversionSettings::bOutputGpx},
    {"ExcludeDir", &ConversionSettings::ExcludeDir},
    {"ExcludePeopleFile", &ConversionSettings::ExcludePeopleFile},
    {"MoveCachesFile", &ConversionSettings::MoveCachesFile},
    {"OutputKmlDir", &ConversionSettings::OutputKmlDir},
    {"OutputAscDir", &ConversionSettings::OutputAscDir},
    {"OutputTxtDir", &ConversionSettings::OutputTxtDir},
    {"OutputGpxDir", &ConversionSettings::OutputGpxDir},
    {"OutputKmlDirFileMode", &ConversionSettings::OutputKmlDirFileMode},
    {"bOutputKmz", &ConversionSettings::bOutputKmz},
};

QString Key(std::string_view name) {
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The text as the C library's atol reads it, kept within 32 bits.
int32_t AtolText(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<int32_t>(
      std::clamp<long>(value, std::numeric_limits<int32_t>::min(),
                       std::numeric_limits<int32_t>::max()));
}

// Converts one stored text into the field's type.
struct FieldReader {
  ConversionSettings& settings;
  const std::string& text;
  void operator()(bool ConversionSettings::*field) const {
    settings.*field = text == "1";
  }
  void operator()(int32_t ConversionSettings::*field) const {
    settings.*field = AtolText(text);
  }
  void operator()(std::string ConversionSettings::*field) const {
    settings.*field = text;
  }
};

// The stored text of one field: flags and numbers as "%li".
struct FieldWriter {
  const ConversionSettings& settings;
  std::string operator()(bool ConversionSettings::*field) const {
    return FormatText("%li", static_cast<long>(settings.*field));
  }
  std::string operator()(int32_t ConversionSettings::*field) const {
    return FormatText("%li", static_cast<long>(settings.*field));
  }
  std::string operator()(std::string ConversionSettings::*field) const {
    return settings.*field;
  }
};

void Save(const ConversionSettings& settings, QSettings& store,
          const StoredValue& stored) {
  WriteRegistryString(store, stored.name,
                      std::visit(FieldWriter{settings}, stored.field));
}

std::string ToBytes(const QByteArray& bytes) {
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool IsUtf8(std::string_view bytes) {
  const QByteArray array(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return QString::fromUtf8(array).toUtf8() == array;
}

// What an editor leaves around "=" and a value.
constexpr std::string_view kBlanksAndTabs = " \t";

// A value as written by hand: quotes dropped, the escapes an editor would
// write (\\, \", \t, \n, \r) resolved, every other byte kept.
std::string Unescape(std::string_view raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '"') continue;
    if (c == '\\' && i + 1 < raw.size()) {
      c = raw[++i];
      if (c == 't') c = '\t';
      if (c == 'n') c = '\n';
      if (c == 'r') c = '\r';
    }
    text += c;
  }
  return text;
}

// The values of the [General] section of the store's file whose bytes are
// not UTF-8: Qt reads the file as UTF-8 and would replace or drop them, so
// they are taken from the file itself. Empty when there is no such file.
std::map<std::string, std::string> NonUtf8Values(const QSettings& store) {
  std::map<std::string, std::string> values;
  std::string bytes;
  try {
    ReadWholeFile(store.fileName().toStdString(), bytes);
  } catch (const FileError&) {
    return values;
  }
  std::vector<std::string> lines;
  SplitLines(bytes, lines);
  bool general = false;
  for (const std::string& line : lines) {
    const std::string_view text = Trim(line, kBlanksAndTabs);
    if (text.starts_with('[')) general = text == "[General]";
    const size_t equals = text.find('=');
    if (!general || equals == std::string_view::npos) continue;
    const std::string_view value =
        Trim(text.substr(equals + 1), kBlanksAndTabs);
    if (IsUtf8(value)) continue;
    values[std::string(Trim(text.substr(0, equals), kBlanksAndTabs))] =
        Unescape(value);
  }
  return values;
}

}  // namespace

std::unique_ptr<QSettings> OpenUserSettings() {
  return std::make_unique<QSettings>(
      QSettings::NativeFormat, QSettings::UserScope, "Brannoc", "Korvelo");
}

std::string ReadRegistryString(QSettings& store, std::string_view name) {
  const QVariant value = store.value(Key(name));
  if (!value.isValid()) return std::string();
  switch (value.typeId()) {
    case QMetaType::QByteArray:
      return ToBytes(value.toByteArray());
    case QMetaType::QStringList:  // an unquoted text with commas
      return ToBytes(value.toStringList().join(',').toUtf8());
    default:
      return ToBytes(value.toString().toUtf8());
  }
}

bool WriteRegistryString(QSettings& store, std::string_view name,
                         std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  // Only texts that survive the way through UTF-8 unchanged are stored as
  // text; anything else (ANSI umlauts, broken sequences) as raw bytes.
  if (IsUtf8(text)) {
    store.setValue(Key(name), QString::fromUtf8(bytes));
  } else {
    store.setValue(Key(name), bytes);
  }
  return store.status() == QSettings::NoError;
}

void LoadSettings(ConversionSettings& settings, QSettings& store) {
  const std::map<std::string, std::string> raw = NonUtf8Values(store);
  for (const StoredValue& stored : kStoredValues) {
    const auto found = raw.find(stored.name);
    const std::string text = found != raw.end()
                                 ? found->second
                                 : ReadRegistryString(store, stored.name);
    std::visit(FieldReader{settings, text}, stored.field);
  }
}

void SaveSettings(const ConversionSettings& settings, QSettings& store) {
  for (const StoredValue& stored : kStoredValues) Save(settings, store, stored);
  store.sync();
}

void SaveSettings(const ConversionSettings& settings, QSettings& store,
                  std::initializer_list<SettingsField> fields) {
  for (const SettingsField& field : fields) {
    for (const StoredValue& stored : kStoredValues) {
      if (stored.field == field) Save(settings, store, stored);
    }
  }
  store.sync();
}

}  // namespace korvelo
