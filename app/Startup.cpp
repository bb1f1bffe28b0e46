#include "app/Startup.h"

#include <QApplication>
#include <QTimer>

#include "app/FileNames.h"
#include "app/FileTypes.h"
#include "app/MainWindow.h"
#include "app/Recovery.h"
#include "app/Screen.h"
#include "app/Settings.h"
#include "app/Signals.h"
#include "app/SingleInstance.h"
#include "app/Title.h"
#include "display/paint/Artwork.h"
#include "platform/AlsaWaveAudio.h"

namespace {

// The usual shell status of a program that a signal stopped; 0 otherwise.
int ExitStatus(int signalNumber) { return signalNumber != 0 ? 128 + signalNumber : 0; }

}  // namespace

int RunMelotrix(int argc, char** argv) {
  QApplication app(argc, argv);
  // The program's icon for every window, the start-up boxes' included.
  QApplication::setWindowIcon(GlyphIcon(KGlyph::Logo));
  // A signal ends every event loop, a start-up box's included; its number
  // gives the exit status.
  KQuitSignals quitSignals;
  int interrupted = 0;
  QObject::connect(&quitSignals, &KQuitSignals::Received, [&interrupted](int number) {
    if (interrupted == 0) interrupted = number;
  });
  // Names are taken as bytes from argv: Qt's argument list would lose bytes that are not UTF-8.
  const std::string file = argc > 1 ? ArgumentFileName(argv[1]) : std::string();
  KSingleInstance instance;
  switch (instance.Claim(QByteArray::fromStdString(file))) {
    case KClaim::SecondCopy:
      ShowStartupError(nullptr, kSecondCopyMessage);
      return ExitStatus(interrupted);
    case KClaim::HandedOver:
      return 0;
    case KClaim::First:
    case KClaim::Failed:  // without the marker the run goes on
      break;
  }
  const QString agent = ReadAgentName();
  if (!QApplication::applicationFilePath().isEmpty()) KAddToWin32RegKey(QApplication::applicationFilePath());
  KRunFolder run;
  std::string noRunFolder;
  const std::string swap = OpenWindowRunFolder(run, &noRunFolder);

  KAlsaWaveAudio audio;
  TFormMain window(swap, audio);
  window.setWindowTitle(MainWindowTitle(agent));
  QObject::connect(&quitSignals, &KQuitSignals::Received, &window, [&window] { window.Runner().RequestQuit(); });
  PlaceMainWindow(window, PrimaryScreenWidth(), [&window](const QString& text) { ShowStartupError(&window, text); });
  // A running command may hold the devices: they close once it has returned.
  KDeactivationHook deactivation(
      [&window, &audio] { window.Runner().WhenIdle([&audio] { MxCloseAllWaveDeviceHandle(audio); }); });
  // Bank 1 is drawn first; the boxes show the loaded colours at their next paint.
  window.Banks().SelectBank(1);
  LoadColours(window.Display().Colours);
  QObject::connect(&instance, &KSingleInstance::FileReceived, &window, [&window](const QByteArray& path) {
    window.OpenFile(path.toStdString());
    window.raise();
    window.activateWindow();
  });
  window.show();
  if (!run.Held())
    ShowStartupError(&window, QString::fromStdString("Melotrix runs without crash recovery: " + noRunFolder));
  // The banks of a crashed run come back first (a signal during the question
  // keeps them for the next start).
  RecoverAndKeepJournal(window, run, [&window](const KRecoveryQuestion& q) { return AskRecovery(&window, q); });
  // The file of the command line loads inside the event loop, where a signal
  // reaches the message box of a file that does not load.
  if (!file.empty()) QTimer::singleShot(0, &window, [&window, &file] { window.OpenFile(file); });
  // A signal that came before the loop ran has ended it already.
  if (!quitSignals.QuitRequested()) app.exec();
  instance.Release();
  SaveColours(window.Display().Colours);
  MxCloseAllWaveDeviceHandle(audio);
  // Unsaved banks stay in the run folder for the next start, which offers them back.
  if (window.Banks().KeepUnsavedWork()) run.Leave();
  return ExitStatus(interrupted);
}
