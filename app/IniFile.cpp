#include "app/IniFile.h"

#include <algorithm>

namespace {

bool Same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

KIniFile::KIniFile(const QByteArray& text) {
  QList<QByteArray> raws = text.split('\n');
  if (text.endsWith('\n')) raws.removeLast();
  if (text.isEmpty()) raws.clear();
  lines_.reserve(size_t(raws.size()));
  QString section;
  for (const QByteArray& raw : raws) {
    Line line{raw, section, {}, {}};
    const QString trimmed = QString::fromUtf8(raw).trimmed();
    const qsizetype equals = trimmed.indexOf(u'=');
    if (trimmed.startsWith(u'[')) {
      // A header without its "]" names no section a key is looked for in.
      const qsizetype close = trimmed.indexOf(u']');
      section = close > 0 ? trimmed.mid(1, close - 1).trimmed() : trimmed;
      line.Section = section;
    } else if (!trimmed.startsWith(u';') && !trimmed.startsWith(u'#') && equals > 0) {
      line.Key = trimmed.left(equals).trimmed();
      line.Value = trimmed.mid(equals + 1).trimmed();
      if (line.Value.size() >= 2 && line.Value.startsWith(u'"') && line.Value.endsWith(u'"'))
        line.Value = line.Value.mid(1, line.Value.size() - 2);
    }
    lines_.push_back(std::move(line));
  }
}

bool KIniFile::Matches(const Line& line, const QString& section, const QString& key) const {
  return !line.Key.isEmpty() && Same(line.Key, key) && Same(line.Section, section);
}

std::optional<QString> KIniFile::Value(const QString& section, const QString& key) const {
  for (const Line& line : lines_)
    if (Matches(line, section, key)) return line.Value;
  return std::nullopt;
}

void KIniFile::SetValue(const QString& section, const QString& key, const QString& value) {
  const Line set{(key + "=" + value).toUtf8(), section, key, value};
  for (auto at = lines_.begin(); at != lines_.end(); ++at) {
    if (!Matches(*at, section, key)) continue;
    *at = set;
    lines_.erase(std::remove_if(at + 1, lines_.end(), [&](const Line& l) { return Matches(l, section, key); }),
                 lines_.end());
    return;
  }
  // After the section's header or last key, else in a new section at the end.
  auto last = lines_.end();
  for (auto at = lines_.begin(); at != lines_.end(); ++at)
    if (Same(at->Section, section) && (!at->Key.isEmpty() || at->Raw.trimmed().startsWith('['))) last = at;
  if (last != lines_.end()) {
    lines_.insert(last + 1, set);
    return;
  }
  if (!lines_.empty() && !lines_.back().Raw.trimmed().isEmpty())
    lines_.push_back(Line{{}, lines_.back().Section, {}, {}});
  lines_.push_back(Line{("[" + section + "]").toUtf8(), section, {}, {}});
  lines_.push_back(set);
}

void KIniFile::Remove(const QString& section, const QString& key) {
  lines_.erase(std::remove_if(lines_.begin(), lines_.end(), [&](const Line& l) { return Matches(l, section, key); }),
               lines_.end());
}

QByteArray KIniFile::Text() const {
  QByteArray text;
  for (const Line& line : lines_) text += line.Raw + '\n';
  return text;
}
