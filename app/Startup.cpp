#include "app/Startup.h"

#include <QApplication>
#include <QFileInfo>

#include "app/FileTypes.h"
#include "app/MainWindow.h"
#include "app/Recovery.h"
#include "app/Screen.h"
#include "app/Settings.h"
#include "app/Signals.h"
#include "app/SingleInstance.h"
#include "app/Title.h"
#include "platform/AlsaWaveAudio.h"

namespace {

// The file named on the command line, as an absolute path; empty when none.
QString FileArgument(const QStringList& arguments) {
  return arguments.size() > 1 ? QFileInfo(arguments[1]).absoluteFilePath() : QString();
}

}  // namespace

int RunMelotrix(int argc, char** argv) {
  QApplication app(argc, argv);
  KQuitSignals quitSignals;
  const QString file = FileArgument(QApplication::arguments());
  KSingleInstance instance;
  switch (instance.Claim(file)) {
    case KClaim::SecondCopy:
      ShowStartupError(nullptr, kSecondCopyMessage);
      return 0;
    case KClaim::HandedOver:
      return 0;
    case KClaim::First:
    case KClaim::Failed:  // without the marker the run goes on
      break;
  }
  const QString agent = ReadAgentName();
  if (!QApplication::applicationFilePath().isEmpty()) KAddToWin32RegKey(QApplication::applicationFilePath());
  KRunFolder run;
  const std::string swap = OpenWindowRunFolder(run);

  KAlsaWaveAudio audio;
  TFormMain window(swap, audio);
  window.setWindowTitle(MainWindowTitle(agent));
  PlaceMainWindow(window, PrimaryScreenWidth(), [&window](const QString& text) { ShowStartupError(&window, text); });
  // A loop that plays or records holds the devices: they close when it ends.
  KDeactivationHook deactivation(
      [&window, &audio] { window.Guard().WhenIdle([&audio] { MxCloseAllWaveDeviceHandle(audio); }); });
  // Bank 1 is drawn first; the boxes show the loaded colours at their next paint.
  window.Banks().SelectBank(1);
  LoadColours(window.Display().Colours);
  QObject::connect(&instance, &KSingleInstance::FileReceived, &window, [&window](const QString& path) {
    window.LoadFile(path.toStdString());
    window.raise();
    window.activateWindow();
  });
  int interrupted = 0;
  QObject::connect(&quitSignals, &KQuitSignals::Received, [&interrupted](int number) { interrupted = number; });
  window.show();
  RecoverAndKeepJournal(window, run, [&window] { return AskRecovery(&window); });
  if (!file.isEmpty()) window.LoadFile(file.toStdString());
  int status = quitSignals.QuitRequested() ? 0 : app.exec();
  // Ended by a signal: the usual shell status of a program it stopped.
  if (interrupted != 0) status = 128 + interrupted;
  instance.Release();
  SaveColours(window.Display().Colours);
  MxCloseAllWaveDeviceHandle(audio);
  return status;
}
