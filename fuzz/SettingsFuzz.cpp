// Feeds arbitrary bytes to the start-up readers of the settings: the agent
// name scanner on the bytes as text, and the agent name and colour readers
// on the bytes as an INI file. Names stay within their length and never
// empty; colours stay 24-bit.
#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Settings.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckName(const QString& name) {
  Require(!name.isEmpty() && name.toUcs4().size() <= kAgentNameLength && !name.contains(u'*'));
}

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melotrix-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr);
    folder = pattern;
    path = QString::fromStdString(folder + "/Settings.INI");
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  QString path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  CheckName(ScanAgentName(QString::fromUtf8(bytes)));
  {
    QFile file(scratch.path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
  }
  CheckName(ReadAgentName(scratch.path));
  KColourScheme scheme(0x00C0C0C0);
  LoadColours(scheme, scratch.path);
  for (const KColourSlotInfo& slot : KColourScheme::Slots()) Require(scheme.Get(slot.Slot) <= 0xFFFFFF);
  return 0;
}
