// The window's side of a run that crashed or was closed with unsaved banks:
// the window's own run folder, the question whether to restore the banks
// such a run left, and the journal kept from then on.
#pragma once

#include <functional>
#include <string>

#include "platform/RunFolder.h"

class QWidget;
class TFormMain;

inline constexpr const char* kRecoveryQuestion = "Melotrix was not closed properly last time. Restore its banks?";
inline constexpr const char* kClosedQuestion = "Melotrix was closed with unsaved banks. Restore them?";

// Later: the question was closed without an answer (Escape, the close box,
// or the program is ending): the runs stay for the next start.
enum class KRecoveryAnswer { Restore, Discard, Later };

// What the question is about: one of `Count` runs waiting (newest first).
struct KRecoveryQuestion {
  bool Closed = false;  // closed on purpose with unsaved banks, rather than crashed
  size_t Index = 0, Count = 1;
};
using KAskRecovery = std::function<KRecoveryAnswer(const KRecoveryQuestion&)>;

// Makes the window's run folder in the swap folder and returns the folder
// its swap files go to (the swap folder itself when none could be made;
// `error`, when given, then says why).
std::string OpenWindowRunFolder(KRunFolder& run, std::string* error = nullptr);
// The question in a message box with Restore and Discard; Later when it was
// closed otherwise.
KRecoveryAnswer AskRecovery(QWidget* parent, const KRecoveryQuestion& question);
// For each run a window left with work, newest first: Restore puts its
// banks back into the window (runs not yet asked about stay for the next
// start); Discard removes it and asks about the next. Runs without work are
// removed unasked; Later leaves them all. Then the window keeps its journal
// in `run`, and only after that a restored run's folder goes (without a run
// folder it stays). A voice that
// cannot be restored is named with the reason, and its run keeps it (and
// only it) for the next start.
void RecoverAndKeepJournal(TFormMain& window, const KRunFolder& run, const KAskRecovery& ask);
