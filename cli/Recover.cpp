#include "cli/Recover.h"

#include <cstdio>
#include <iostream>

#include "cli/Session.h"
#include "cli/Usage.h"
#include "platform/RunFolder.h"
#include "voice/Journal.h"

namespace {

void List(const KJournalRecord& record) {
  std::cout << "current bank " << record.CurrentBank << "\n";
  for (size_t k = 0; k < record.Voices.size(); ++k) {
    const KJournalVoice& v = record.Voices[k];
    if (v.Values.END == 0 && v.Undo.empty()) continue;
    std::cout << "voice " << k << ": channels=" << v.Values.Channels << " bits=" << v.Values.BitsPerSample
              << " rate=" << v.Values.SampleRate << " end=" << v.Values.END << " file=" << v.FileName
              << " alias=" << v.AliasName << " undo=" << v.Undo.size();
    for (const KJournalSnapshot& s : v.Undo) std::cout << " \"" << s.Label << "\"";
    std::cout << "\n";
  }
}

// Each bank 1..12 that holds samples, as DIR/BankNNN.MXV.
int Save(const KJournalRecord& record, const std::string& folder, const std::string& dir) {
  KCliSession session;
  if (!session.Open()) return 1;
  KStatus restored = RestoreJournal(session.Banks(), record, folder);
  if (!restored) std::cerr << "melotrix-cli: " << restored.Message << "\n";
  bool failed = !restored;
  for (int bank = bank::kFirst; bank <= bank::kLast; ++bank) {
    KPcmFiles& voice = session.Banks().Bank(bank);
    if (voice.END == 0) continue;
    char name[32];
    std::snprintf(name, sizeof name, "/Bank%03d.MXV", bank);
    const bool saved = voice.SaveMxvFile(dir + name);
    failed |= !saved;
    if (saved) std::cout << dir + name << "\n";
  }
  return failed ? 1 : 0;
}

}  // namespace

int RunRecover(const KWords& args) {
  if (args.size() != 1 && !(args.size() == 3 && args[1] == "--save")) return UsageError("recover FOLDER [--save DIR]");
  const std::string& folder = args[0];
  KRunFolder run;
  if (!run.Claim(folder)) {
    std::cerr << "melotrix-cli: " << folder << " is no run folder, or its copy is still running\n";
    return 1;
  }
  KJournalRecord record;
  KStatus read = ReadJournal(folder, record);
  int status = 1;
  if (!read) {
    std::cerr << "melotrix-cli: " << read.Message << "\n";
  } else if (args.size() == 1) {
    List(record);
    status = 0;
  } else {
    status = Save(record, folder, args[2]);
  }
  // The folder stays for the window, which offers it back at its next start.
  run.Leave();
  return status;
}
