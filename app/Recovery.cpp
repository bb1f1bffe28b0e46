#include "app/Recovery.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/MainWindow.h"
#include "app/Title.h"
#include "platform/SystemDir.h"
#include "voice/CrashedRuns.h"

namespace {

// Puts the banks of `run` back. Voices that could not be taken over stay in
// its folder, which its journal then names alone; the folder is kept.
void Restore(TFormMain& window, KCrashedRun& run) {
  std::vector<int> failed;
  const KStatus restored = RestoreJournal(window.Banks(), run.Record, run.Folder->Path(), &failed);
  window.ShowBankContents();
  if (restored) return;
  const KStatus kept = WriteJournal(run.Folder->Path(), JournalText(KeepOnly(run.Record, failed)));
  run.Folder->Leave();
  ShowStartupError(
      &window, QString::fromStdString(restored.Message + "\nWhat could not be restored stays in " + run.Folder->Path() +
                                      (kept ? " for the next start." : " (" + kept.Message + ").")));
}

}  // namespace

std::string OpenWindowRunFolder(KRunFolder& run, std::string* error) {
  const std::string base = platform::SwapFolder();
  std::string why;
  if (run.Create(base, KRunFolder::kWindowPrefix, why)) return run.Path();
  if (error) *error = why;
  return base;
}

KRecoveryAnswer AskRecovery(QWidget* parent, const KRecoveryQuestion& question) {
  QMessageBox box(QMessageBox::Question, kMessageTitle, question.Closed ? kClosedQuestion : kRecoveryQuestion,
                  QMessageBox::NoButton, parent);
  if (question.Count > 1)
    box.setInformativeText(QString("%1 runs wait to be restored, the newest first: this is run %2 of %1.")
                               .arg(question.Count)
                               .arg(question.Index + 1));
  QPushButton* restore = box.addButton("Restore", QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
  // Escape and the close box answer "later": a button of its own that is never shown.
  QPushButton* later = box.addButton(QMessageBox::Cancel);
  later->hide();
  box.setEscapeButton(later);
  box.setDefaultButton(restore);
  box.exec();
  // Only a click on Discard throws the work away.
  if (box.clickedButton() == restore) return KRecoveryAnswer::Restore;
  return box.clickedButton() == discard ? KRecoveryAnswer::Discard : KRecoveryAnswer::Later;
}

void RecoverAndKeepJournal(TFormMain& window, const KRunFolder& run, const KAskRecovery& ask) {
  std::vector<KCrashedRun> crashed = SweepRunFolders(platform::SwapFolder());
  for (size_t k = 0; k < crashed.size(); ++k) {
    const KRecoveryAnswer answer = ask({crashed[k].Record.Closed, k, crashed.size()});
    if (answer == KRecoveryAnswer::Discard) {
      crashed[k].Folder.reset();
      continue;
    }
    if (answer == KRecoveryAnswer::Restore) Restore(window, crashed[k]);
    for (size_t later = k + 1; later < crashed.size(); ++later) crashed[later].Folder->Leave();
    if (answer == KRecoveryAnswer::Later) crashed[k].Folder->Leave();
    break;
  }
  if (run.Held()) {
    window.Banks().KeepJournal(run.Path());
    return;
  }
  // Without a journal of its own the window cannot keep a restored run safe: its folder stays.
  for (KCrashedRun& left : crashed)
    if (left.Folder) left.Folder->Leave();
}
