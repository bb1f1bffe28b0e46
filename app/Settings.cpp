#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "app/FileNames.h"

namespace {

constexpr const char* kVersionKey = "System/Version 6 ID";
constexpr const char* kColourSection = "Color/";
constexpr const char* kAgentPrefix = "DrnRkmSeriesAgentName_";
// What the OEM store gives when it holds no agent name: the prefix and a
// 32-character field holding "DRN", filled with "*".
constexpr const char* kBuiltInAgentField = "DrnRkmSeriesAgentName_DRN*****************************";

// A stored integer: a decimal text (or a number QSettings still holds from
// this run). Anything else, a list included, is no number.
std::optional<qint64> StoredNumber(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return value.toLongLong();
    case QMetaType::QString: {
      bool ok = false;
      qint64 number = value.toString().trimmed().toLongLong(&ok, 10);
      if (ok) return number;
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

// The text of `key` in `section` of an INI file as it stands on its line,
// without the quotes around it; nullopt when the key is not there.
std::optional<QString> RawIniValue(const QByteArray& file, const QString& section, const QString& key) {
  bool inSection = false;
  for (const QByteArray& rawLine : file.split('\n')) {
    const QString line = QString::fromUtf8(rawLine).trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      const qsizetype close = line.indexOf(u']');
      inSection = close > 0 && line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (!inSection || equals < 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
    QString value = line.mid(equals + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) value = value.mid(1, value.size() - 2);
    return value;
  }
  return std::nullopt;
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
  if (!IsRegularFile(path)) return;
  QSettings store(path, QSettings::IniFormat);
  if (StoredNumber(store.value(kVersionKey, -1)) != kSettingsVersion) return;
  for (const KColourSlotInfo& slot : KColourScheme::Slots()) {
    const std::optional<qint64> colour = StoredNumber(store.value(QString(kColourSection) + slot.Key, 0));
    if (colour && *colour >= 0 && *colour <= 0xFFFFFF) scheme.Set(slot.Slot, KColour(*colour));
  }
}

KStatus SaveColours(const KColourScheme& scheme, const QString& path) {
  if (ExistsAsOtherThanFile(path)) return KStatus::Failure(path.toStdString() + " is not a regular file");
  QSettings store(path, QSettings::IniFormat);
  store.setValue(kVersionKey, kSettingsVersion);
  for (const KColourSlotInfo& slot : KColourScheme::Slots())
    store.setValue(QString(kColourSection) + slot.Key, qint64(scheme.Get(slot.Slot)));
  store.sync();
  if (store.status() != QSettings::NoError) return KStatus::Failure("cannot write " + path.toStdString());
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
  QFile file(path);
  if (!IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) return kDefaultAgentName;
  // Read as raw text: QSettings would turn a name holding a comma into a list.
  const std::optional<QString> value = RawIniValue(file.readAll(), "OemInfo", "AgentName");
  return ScanAgentName(value.value_or(kBuiltInAgentField));
}
