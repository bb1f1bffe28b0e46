#include "app/Recovery.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/MainWindow.h"
#include "app/Title.h"
#include "platform/SystemDir.h"
#include "voice/CrashedRuns.h"

std::string OpenWindowRunFolder(KRunFolder& run) {
  const std::string base = platform::SwapFolder();
  std::string error;
  return run.Create(base, KRunFolder::kWindowPrefix, error) ? run.Path() : base;
}

KRecoveryAnswer AskRecovery(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, kMessageTitle, kRecoveryQuestion, QMessageBox::NoButton, parent);
  QPushButton* restore = box.addButton("Restore", QMessageBox::AcceptRole);
  box.addButton("Discard", QMessageBox::DestructiveRole);
  box.setDefaultButton(restore);
  box.exec();
  return box.clickedButton() == restore ? KRecoveryAnswer::Restore : KRecoveryAnswer::Discard;
}

void RecoverAndKeepJournal(TFormMain& window, const KRunFolder& run, const KAskRecovery& ask) {
  std::vector<KCrashedRun> crashed = SweepRunFolders(platform::SwapFolder());
  for (size_t k = 0; k < crashed.size(); ++k) {
    if (ask() == KRecoveryAnswer::Discard) {
      crashed[k].Folder.reset();
      continue;
    }
    KStatus restored = RestoreJournal(window.Banks(), crashed[k].Record, crashed[k].Folder->Path());
    if (!restored) ShowStartupError(&window, QString::fromStdString(restored.Message));
    for (size_t later = k + 1; later < crashed.size(); ++later) crashed[later].Folder->Leave();
    break;
  }
  if (run.Held()) window.Banks().KeepJournal(run.Path());
}
