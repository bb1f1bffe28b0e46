// melotrix: the voice editor's window program.
#include <cstring>
#include <iostream>

#include "app/Startup.h"
#include "platform/StandardOutput.h"
#include "resources/Manual.h"

int main(int argc, char** argv) {
  // Answered before the window system is opened, so that they work without a display.
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << ManualText(WindowManual());
    return FinishStandardOutput("melotrix", 0);
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "melotrix " << MELOTRIX_VERSION << "\n";
    return FinishStandardOutput("melotrix", 0);
  }
  return RunMelotrix(argc, argv);
}
