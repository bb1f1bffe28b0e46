// melotrix: the voice editor's window program.
#include <cstring>
#include <iostream>

#include "app/Startup.h"

namespace {

constexpr const char* kHelp = R"(Usage:
  melotrix [FILE]
  melotrix --help | --version

Opens the voice editor's window with twelve empty banks, bank 1 selected.
FILE (an MXV, WAV, VOC or other sound file) is loaded into bank 1; when a
window is already open, FILE is handed to it instead. Unsaved banks of a run
that ended abnormally are offered back at the next start. Batch work and
scripting without a window: melotrix-cli --help.
)";

}  // namespace

int main(int argc, char** argv) {
  // Answered before the window system is opened, so that they work without a display.
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kHelp;
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "melotrix " << MELOTRIX_VERSION << "\n";
    return 0;
  }
  return RunMelotrix(argc, argv);
}
