// melotrix-icons FOLDER SIZE...: draws the program's logo as PNG icons of
// SIZE by SIZE pixels into FOLDER/SIZExSIZE/apps/melotrix.png, the layout of
// the hicolor icon theme, with the painting the window uses for its own icon.
#include <QDir>
#include <QGuiApplication>
#include <iostream>

#include "display/paint/Artwork.h"

int main(int argc, char** argv) {
  // Fonts and pixmaps need an application; no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::cerr << "usage: melotrix-icons FOLDER SIZE...\n";
    return 2;
  }
  for (int k = 2; k < argc; ++k) {
    bool ok = false;
    const int size = QString(argv[k]).toInt(&ok);
    const QString folder = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
    if (!ok || size <= 0 || !QDir().mkpath(folder) ||
        !GlyphImage(KGlyph::Logo, QSize(size, size)).save(folder + "/melotrix.png")) {
      std::cerr << "melotrix-icons: cannot write the " << argv[k] << " pixel icon into " << argv[1] << "\n";
      return 1;
    }
  }
  return 0;
}
