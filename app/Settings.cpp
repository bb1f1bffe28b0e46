#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

#include "app/FileNames.h"
#include "app/IniFile.h"

namespace {

constexpr const char* kSystemSection = "System";
constexpr const char* kVersionKey = "Version 6 ID";
// The version key as earlier versions of this program wrote it, its blanks escaped.
constexpr const char* kEscapedVersionKey = "Version%206%20ID";
constexpr const char* kColourSection = "Color";
constexpr const char* kAgentPrefix = "DrnRkmSeriesAgentName_";
// What the OEM store gives when it holds no agent name: the prefix and a
// 32-character field holding "DRN", filled with "*".
constexpr const char* kBuiltInAgentField = "DrnRkmSeriesAgentName_DRN*****************************";

// A stored integer: a decimal text; anything else is no number.
std::optional<qint64> StoredNumber(const std::optional<QString>& value) {
  bool ok = false;
  const qint64 number = value ? value->toLongLong(&ok, 10) : 0;
  return ok ? std::optional(number) : std::nullopt;
}

// The INI file at `path`: empty when it is missing or no regular file,
// nullopt when it is there but cannot be read.
std::optional<KIniFile> ReadIniFile(const QString& path) {
  if (!IsRegularFile(path)) return KIniFile();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return KIniFile(file.readAll());
}

// The first `count` characters (not UTF-16 units) of `text`.
QString FirstCharacters(const QString& text, int count) {
  const QList<uint> chars = text.toUcs4();
  if (chars.size() <= count) return text;
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), count);
}

}  // namespace

QString SettingsFolder() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty() || !QDir::isAbsolutePath(config)) config = QDir::homePath() + "/.config";
  return config + "/DRN";
}

QString SettingsFilePath() { return SettingsFolder() + "/Melotrix.INI"; }

QString OemFilePath() { return SettingsFolder() + "/RkmSeries.INI"; }

void LoadColours(KColourScheme& scheme, const QString& path) {
  scheme.ResetAll();
  const KIniFile store = ReadIniFile(path).value_or(KIniFile());
  const std::optional<QString> version = store.Value(kSystemSection, kVersionKey);
  if (StoredNumber(version ? version : store.Value(kSystemSection, kEscapedVersionKey)) != kSettingsVersion) return;
  for (const KColourSlotInfo& slot : KColourScheme::Slots()) {
    const std::optional<QString> stored = store.Value(kColourSection, slot.Key);
    const std::optional<qint64> colour = stored ? StoredNumber(stored) : 0;
    if (colour && *colour >= 0 && *colour <= 0xFFFFFF) scheme.Set(slot.Slot, KColour(*colour));
  }
}

KStatus SaveColours(const KColourScheme& scheme, const QString& path) {
  if (ExistsAsOtherThanFile(path)) return KStatus::Failure(path.toStdString() + " is not a regular file");
  // Keys and sections of others stay; a file that cannot be read is not replaced.
  std::optional<KIniFile> store = ReadIniFile(path);
  if (!store) return KStatus::Failure("cannot read " + path.toStdString());
  store->Remove(kSystemSection, kEscapedVersionKey);
  store->SetValue(kSystemSection, kVersionKey, QString::number(kSettingsVersion));
  for (const KColourSlotInfo& slot : KColourScheme::Slots())
    store->SetValue(kColourSection, slot.Key, QString::number(scheme.Get(slot.Slot)));
  QDir().mkpath(QFileInfo(path).path());
  QSaveFile file(path);
  file.setDirectWriteFallback(true);
  const QByteArray text = store->Text();
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
    return KStatus::Failure("cannot write " + path.toStdString());
  return KStatus::Success();
}

QString ScanAgentName(const QString& text) {
  qsizetype at = 0;
  while (at < text.size() && text[at].isSpace()) ++at;
  const QString prefix = kAgentPrefix;
  if (text.mid(at, prefix.size()) != prefix) return kDefaultAgentName;
  at += prefix.size();
  const qsizetype star = text.indexOf(u'*', at);
  const QString name = text.mid(at, star < 0 ? -1 : star - at);
  if (name.isEmpty()) return kDefaultAgentName;
  return FirstCharacters(name, kAgentNameLength);
}

QString ReadAgentName(const QString& path) {
  const std::optional<KIniFile> store = ReadIniFile(path);
  if (!store) return kDefaultAgentName;
  // The raw text of the line: a name may hold a comma.
  return ScanAgentName(store->Value("OemInfo", "AgentName").value_or(kBuiltInAgentField));
}
