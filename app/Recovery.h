// The window's side of a run that crashed: the window's own run folder, the
// question whether to restore the banks a crashed window left, and the
// journal kept from then on.
#pragma once

#include <functional>
#include <string>

#include "platform/RunFolder.h"

class QWidget;
class TFormMain;

inline constexpr const char* kRecoveryQuestion = "Melotrix was not closed properly last time. Restore its banks?";

// Later: the question was closed without an answer (or the program is
// ending): the runs stay for the next start.
enum class KRecoveryAnswer { Restore, Discard, Later };
using KAskRecovery = std::function<KRecoveryAnswer()>;

// Makes the window's run folder in the swap folder and returns the folder
// its swap files go to (the swap folder itself when none could be made).
std::string OpenWindowRunFolder(KRunFolder& run);
// The question in a message box with Restore and Discard; Later when it was
// closed otherwise.
KRecoveryAnswer AskRecovery(QWidget* parent);
// For each run a crashed window left with work, newest first: Restore puts
// its banks back into the window and removes it (runs not yet asked about
// stay for the next start); Discard removes it. Runs without work are
// removed unasked; Later leaves them all. Then the window keeps its journal in `run`.
void RecoverAndKeepJournal(TFormMain& window, const KRunFolder& run, const KAskRecovery& ask);
