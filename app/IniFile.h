// A small INI file kept as its lines, so that setting keys leaves everything
// else as it stands. Keys are taken as written, blanks included and nothing
// escaped ("Version 6 ID"); sections and keys compare without regard to case,
// and of a key given twice the first counts.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

class KIniFile {
 public:
  explicit KIniFile(const QByteArray& text = QByteArray());

  // The text after the "=" of `key` in `section`, trimmed and without the
  // quotes around it; nullopt when the key is not there.
  std::optional<QString> Value(const QString& section, const QString& key) const;
  // The first line of the key takes the value and its repeats go; a new key
  // follows the section's last key, a new section comes at the end.
  void SetValue(const QString& section, const QString& key, const QString& value);
  // Every line of the key goes.
  void Remove(const QString& section, const QString& key);
  // The lines, each ended by a newline.
  QByteArray Text() const;

 private:
  struct Line {
    QByteArray Raw;
    QString Section;  // the section the line belongs to (its own, for a header)
    QString Key;      // empty for a header, a comment or a blank line
    QString Value;
  };
  bool Matches(const Line& line, const QString& section, const QString& key) const;
  std::vector<Line> lines_;
};
