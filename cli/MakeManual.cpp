// melotrix-manual OUT_DIR VERSION DATE: writes the man pages melotrix.1 and
// melotrix-cli.1 and the bash completion melotrix-cli into OUT_DIR, made
// from the same manuals that --help prints. Run by the build, not installed.
#include <fstream>
#include <iostream>
#include <string>

#include "cli/CliManual.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  std::cerr << "melotrix-manual: cannot write " << path << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: melotrix-manual OUT_DIR VERSION DATE\n";
    return 2;
  }
  const std::string dir = argv[1], version = argv[2], date = argv[3];
  const KManual cli = CliManual();
  const bool written = Write(dir + "/melotrix.1", ManualRoff(WindowManual(), version, date)) &&
                       Write(dir + "/melotrix-cli.1", ManualRoff(cli, version, date)) &&
                       Write(dir + "/melotrix-cli", CliCompletion(cli));
  return written ? 0 : 1;
}
