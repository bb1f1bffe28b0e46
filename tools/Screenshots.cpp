// melotrix-screenshots FOLDER [VOICE.wav]: draws the main window with the
// voice loaded into bank 1 and marked, its marked part pasted into bank 3,
// and each dialog, into PNG files in FOLDER, at the device pixel ratio the
// environment gives (QT_SCALE_FACTOR). Runs on any Qt platform
// (offscreen included), since every picture is the widget's own rendering.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>

#include "app/MainWindow.h"
#include "commands/WindowCommands.h"

namespace {

void Save(QWidget& widget, const QString& folder, const QString& name) {
  widget.show();
  QApplication::processEvents();
  widget.grab().save(folder + "/" + name + ".png");
  std::cout << (folder + "/" + name + ".png").toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: melotrix-screenshots FOLDER [VOICE.wav]\n";
    return 2;
  }
  const QString folder = argv[1];
  QDir().mkpath(folder);
  QTemporaryDir swap;
  KNoWaveAudio audio;
  TFormMain window(swap.path().toStdString(), audio);
  window.setWindowTitle("DRN Melotrix 7E (R7)");
  window.Banks().SelectBank(1);
  if (argc > 2) {
    window.LoadFile(argv[2]);
    KPcmGui& voice = window.Current();
    voice.SetMklAt(voice.END / 4);
    voice.SetMkrAt(voice.END / 2);
    voice.SetFlgAt(voice.END / 8);
    // A second bank holds a voice too, so the bank strip shows both kinds of bank.
    window.Runner().Run(KCommandId::MenuCopyClick);
    window.Runner().Run(BankCommandId(3));
    window.Runner().Run(KCommandId::MenuPasteByInsertClick);
    window.Runner().Run(BankCommandId(1));
  }
  Save(window, folder, "main-window");
  window.Display().Options.WaveformMode = 1;
  window.Display().Options.ZiResolution = 8;
  window.Current().Refresh();
  Save(window, folder, "main-window-rectangles");
  for (QWidget* dialog : window.findChildren<QDialog*>()) {
    Save(*dialog, folder, dialog->objectName());
    dialog->hide();
  }
  return 0;
}
