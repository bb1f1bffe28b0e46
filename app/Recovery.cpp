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
  QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
  box.setDefaultButton(restore);
  box.exec();
  // Only a click on Discard throws the work away.
  if (box.clickedButton() == restore) return KRecoveryAnswer::Restore;
  return box.clickedButton() == discard ? KRecoveryAnswer::Discard : KRecoveryAnswer::Later;
}

void RecoverAndKeepJournal(TFormMain& window, const KRunFolder& run, const KAskRecovery& ask) {
  std::vector<KCrashedRun> crashed = SweepRunFolders(platform::SwapFolder());
  for (size_t k = 0; k < crashed.size(); ++k) {
    const KRecoveryAnswer answer = ask();
    if (answer == KRecoveryAnswer::Discard) {
      crashed[k].Folder.reset();
      continue;
    }
    if (answer == KRecoveryAnswer::Later) {
      for (size_t left = k; left < crashed.size(); ++left) crashed[left].Folder->Leave();
      break;
    }
    KStatus restored = RestoreJournal(window.Banks(), crashed[k].Record, crashed[k].Folder->Path());
    if (!restored) ShowStartupError(&window, QString::fromStdString(restored.Message));
    window.ShowBankContents();
    for (size_t later = k + 1; later < crashed.size(); ++later) crashed[later].Folder->Leave();
    break;
  }
  if (run.Held()) window.Banks().KeepJournal(run.Path());
}
