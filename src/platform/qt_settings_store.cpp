#include "platform/qt_settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>
#include <variant>

namespace orv {

namespace {

// A value as found in the file, with the type it was written with.
using StoredValue = std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>>;

constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kBinaryPrefix = "hex:";
constexpr std::string_view kTextPrefix = "sz:";
constexpr char kHexDigits[] = "0123456789abcdef";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// QSettings treats both '/' and '\\' as group separators and gives '%' its own
// meaning in the file, so each path component is escaped before the
// components are joined with '/'. The escape keeps a component from ever
// splitting or merging with its neighbours.
void AppendEscapedComponent(std::string_view component, std::string& out) {
  for (char c : component) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '/':
        out += "%2F";
        break;
      case '\\':
        out += "%5C";
        break;
      default:
        out += c;
    }
  }
}

// "A\\B C\\D" → "A/B C/D". Empty components (doubled or trailing
// backslashes) are dropped, as the registry does.
std::string GroupPath(std::string_view key) {
  std::string path;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find('\\', start);
    if (end == std::string_view::npos) end = key.size();
    std::string_view component = key.substr(start, end - start);
    if (!component.empty()) {
      if (!path.empty()) path += '/';
      AppendEscapedComponent(component, path);
    }
    start = end + 1;
  }
  return path;
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The QSettings key of a value, or empty when it has no place: the unnamed
// (default) value of a key would collide with a value of the parent key.
QString ValueKey(std::string_view key, std::string_view name) {
  if (name.empty()) return {};
  std::string path = GroupPath(key);
  if (!path.empty()) path += '/';
  AppendEscapedComponent(name, path);
  return ToQString(path);
}

std::string EncodeDword(std::uint32_t value) {
  std::string text(kDwordPrefix);
  for (int shift = 28; shift >= 0; shift -= 4) text += kHexDigits[(value >> shift) & 0xF];
  return text;
}

std::string EncodeBinary(const std::vector<std::uint8_t>& bytes) {
  std::string text(kBinaryPrefix);
  for (std::uint8_t byte : bytes) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0xF];
  }
  return text;
}

std::optional<std::uint32_t> DecodeDwordDigits(std::string_view digits) {
  if (digits.size() != 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int digit = HexDigitValue(c);
    if (digit < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::optional<std::vector<std::uint8_t>> DecodeBinaryDigits(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int high = HexDigitValue(digits[i]);
    int low = HexDigitValue(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

// A malformed typed entry reads as missing for every type.
std::optional<StoredValue> DecodeText(std::string text) {
  std::string_view view(text);
  if (view.starts_with(kDwordPrefix)) {
    auto value = DecodeDwordDigits(view.substr(kDwordPrefix.size()));
    if (!value) return std::nullopt;
    return StoredValue{*value};
  }
  if (view.starts_with(kBinaryPrefix)) {
    auto bytes = DecodeBinaryDigits(view.substr(kBinaryPrefix.size()));
    if (!bytes) return std::nullopt;
    return StoredValue{std::move(*bytes)};
  }
  if (view.starts_with(kTextPrefix)) return StoredValue{text.substr(kTextPrefix.size())};
  // A hand-edited file may give text without its prefix.
  return StoredValue{std::move(text)};
}

std::optional<StoredValue> ReadStoredValue(const std::string& file, std::string_view key,
                                           std::string_view name) {
  QString valueKey = ValueKey(key, name);
  if (file.empty() || valueKey.isEmpty()) return std::nullopt;
  QSettings settings(ToQString(file), QSettings::IniFormat);
  QVariant stored = settings.value(valueKey);
  switch (stored.typeId()) {
    case QMetaType::QString: {
      QByteArray utf8 = stored.toString().toUtf8();
      return DecodeText(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    case QMetaType::QByteArray: {
      // A hand-edited @ByteArray(...) entry.
      QByteArray raw = stored.toByteArray();
      return StoredValue{std::vector<std::uint8_t>(raw.begin(), raw.end())};
    }
    default:
      // Missing, or a list or other Qt type this store never writes.
      return std::nullopt;
  }
}

template <typename T>
std::optional<T> Take(std::optional<StoredValue> stored) {
  if (!stored) return std::nullopt;
  if (auto* value = std::get_if<T>(&*stored)) return std::move(*value);
  return std::nullopt;
}

}  // namespace

QtSettingsStore::QtSettingsStore(SettingsFilePaths paths) : paths_(std::move(paths)) {}

QtSettingsStore::~QtSettingsStore() = default;

const std::string& QtSettingsStore::FileOf(SettingsHive hive) const {
  return hive == SettingsHive::kCurrentUser ? paths_.currentUser : paths_.localMachine;
}

std::optional<std::uint32_t> QtSettingsStore::ReadDword(SettingsHive hive, std::string_view key,
                                                        std::string_view name) {
  std::lock_guard lock(mutex_);
  return Take<std::uint32_t>(ReadStoredValue(FileOf(hive), key, name));
}

std::optional<std::string> QtSettingsStore::ReadText(SettingsHive hive, std::string_view key,
                                                     std::string_view name) {
  std::lock_guard lock(mutex_);
  return Take<std::string>(ReadStoredValue(FileOf(hive), key, name));
}

std::optional<std::vector<std::uint8_t>> QtSettingsStore::ReadBinary(SettingsHive hive,
                                                                     std::string_view key,
                                                                     std::string_view name) {
  std::lock_guard lock(mutex_);
  return Take<std::vector<std::uint8_t>>(ReadStoredValue(FileOf(hive), key, name));
}

bool QtSettingsStore::Write(SettingsHive hive, std::string_view key, std::string_view name,
                            const std::string& encoded) {
  QString valueKey = ValueKey(key, name);
  if (hive != SettingsHive::kCurrentUser || paths_.currentUser.empty() || valueKey.isEmpty()) {
    return false;
  }
  std::lock_guard lock(mutex_);
  QSettings settings(ToQString(paths_.currentUser), QSettings::IniFormat);
  // Checking first keeps an unwritable file from leaving a pending change in
  // Qt's per-process cache, where later reads would see it.
  if (!settings.isWritable()) return false;
  settings.setValue(valueKey, ToQString(encoded));
  settings.sync();
  return settings.status() != QSettings::AccessError;
}

bool QtSettingsStore::WriteDword(SettingsHive hive, std::string_view key, std::string_view name,
                                 std::uint32_t value) {
  return Write(hive, key, name, EncodeDword(value));
}

bool QtSettingsStore::WriteText(SettingsHive hive, std::string_view key, std::string_view name,
                                std::string_view value) {
  std::string encoded(kTextPrefix);
  encoded += value;
  return Write(hive, key, name, encoded);
}

bool QtSettingsStore::WriteBinary(SettingsHive hive, std::string_view key, std::string_view name,
                                  const std::vector<std::uint8_t>& value) {
  return Write(hive, key, name, EncodeBinary(value));
}

bool QtSettingsStore::DeleteKey(SettingsHive hive, std::string_view key) {
  std::string group = GroupPath(key);
  if (hive != SettingsHive::kCurrentUser || paths_.currentUser.empty() || group.empty()) {
    return false;
  }
  std::lock_guard lock(mutex_);
  QSettings settings(ToQString(paths_.currentUser), QSettings::IniFormat);
  QString groupKey = ToQString(group);
  settings.beginGroup(groupKey);
  const QStringList below = settings.allKeys();
  settings.endGroup();
  if (below.isEmpty()) return true;
  if (!settings.isWritable()) return false;
  // Removing the group itself would also drop a value of the parent key that
  // has the same name as this key; removing what lies below it does not.
  for (const QString& child : below) settings.remove(groupKey + u'/' + child);
  settings.sync();
  return settings.status() != QSettings::AccessError;
}

}  // namespace orv
