#include "cli/Recover.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Session.h"
#include "cli/Usage.h"
#include "formats/WavFormat.h"
#include "platform/BlockCopy.h"
#include "platform/LittleEndian.h"
#include "platform/RunFolder.h"
#include "platform/SafeFileWriter.h"
#include "resources/StringTable.h"
#include "voice/BankSet.h"
#include "voice/Journal.h"
#include "voice/UiHooks.h"

namespace {

constexpr const char* kUsage = "recover FOLDER [--save DIR [--format mxv|wav] [--force]]";

struct KRecoverOptions {
  std::string Folder, Dir;  // Dir is empty without --save
  bool Wav = false, Force = false;
};

// Empty when `args` are a whole recover command line, else what is wrong.
std::string ParseOptions(const KWords& args, KRecoverOptions& options) {
  if (args.empty() || args[0].rfind("--", 0) == 0) return "recover needs a FOLDER";
  options.Folder = args[0];
  bool save = false, format = false;
  for (size_t at = 1; at < args.size(); ++at) {
    const std::string& word = args[at];
    if (word == "--force") {
      options.Force = true;
      continue;
    }
    if ((word != "--save" && word != "--format") || at + 1 == args.size()) return "unexpected or incomplete " + word;
    const std::string& value = args[++at];
    if (word == "--save" && value.empty()) return "--save needs the name of a folder";
    if (word == "--format" && value != "mxv" && value != "wav") return "--format takes mxv or wav";
    if (word == "--save") options.Dir = value;
    if (word == "--format") options.Wav = value == "wav";
    (word == "--save" ? save : format) = true;
  }
  if (!save && (format || options.Force)) return "--format and --force go with --save";
  return {};
}

bool Exists(const std::string& path, struct stat& st) { return lstat(path.c_str(), &st) == 0; }

// Why `folder` cannot be recovered, empty when it can: then `run` holds its
// lock and `record` is its journal.
std::string Refusal(const std::string& folder, KRunFolder& run, KJournalRecord& record) {
  struct stat st {};
  constexpr const char* kNoRunFolder = "is not a run folder";
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || !Exists(folder + "/lock", st) || !S_ISREG(st.st_mode))
    return kNoRunFolder;
  if (!run.Claim(folder)) return "is in use by a running copy";
  bool missing = false;
  if (KStatus read = ReadJournal(folder, record, &missing); !read)
    return missing ? kNoRunFolder : "cannot be recovered: " + read.Message;
  return record.HoldsWork() ? std::string() : "holds no voice";
}

void List(const KJournalRecord& record) {
  std::cout << "current bank " << record.CurrentBank << "\n";
  for (int k = 0; k < bank::kVoices; ++k) {
    const KJournalVoice& v = record.Voices[size_t(k)];
    const KJournalValues& x = v.Values;
    if (!v.HoldsWork()) continue;
    std::cout << VoiceName(k) << ": channels=" << x.Channels << " bits=" << x.BitsPerSample << " rate=" << x.SampleRate
              << " end=" << x.END << " mkl=" << x.MKL << " mkr=" << x.MKR << " flg=" << x.FLG << " file=" << v.FileName
              << " alias=" << v.AliasName << " undo=" << v.Undo.size();
    for (const KJournalSnapshot& s : v.Undo) std::cout << " \"" << s.Label << "\"";
    std::cout << "\n";
  }
}

// The voice as a WAV file of all its END frames. The window's savers write
// whole groups of four bytes only, which drops up to three bytes at the end;
// a rescue keeps them, with the pad byte that a chunk of odd length needs.
bool SaveWholeWav(KPcmFiles& voice, const std::string& path) {
  const int32_t bytes = int32_t(int64_t(voice.END) * voice.FrameBytes());
  std::vector<uint8_t> header = KWavFormat::Header(voice.Format(), bytes);
  if (bytes % 2) PutLe(&header[4], GetLe(&header[4], 4) + 1, 4);
  const uint8_t pad = 0;
  KSafeFileWriter out(path, voice.Services.Temporaries);
  KPlainFile samples(voice.Storage->OpenFilePath(), KPlainFile::Mode::Read);
  KProgress progress(voice.Ui(), KWavFormat::kKind.SaveTitle, bytes);
  const int64_t at = int64_t(header.size());
  const bool written = voice.Storage->Intact() && out.IsOpen() && samples.IsOpen() &&
                       out.File().WriteAt(0, header.data(), header.size()) &&
                       KBlockCopy::Run(samples, 0, out.File(), at, bytes, {}, progress) &&
                       (bytes % 2 == 0 || out.File().WriteAt(at + bytes, &pad, 1)) && out.Commit();
  if (!written) voice.ShowMessageText(msg::CannotCreate(path));
  return written;
}

struct KTarget {
  int Bank;
  std::string Path;
};

// The file of each bank 1..12 that holds samples.
std::vector<KTarget> Targets(KBankSet& banks, const KRecoverOptions& options) {
  std::vector<KTarget> targets;
  for (int bank = bank::kFirst; bank <= bank::kLast; ++bank) {
    if (banks.Bank(bank).END == 0) continue;
    char name[32];
    std::snprintf(name, sizeof name, "/Bank%03d.%s", bank, options.Wav ? "WAV" : "MXV");
    targets.push_back({bank, options.Dir + name});
  }
  return targets;
}

// True when the targets may be written: none exists, or --force was given;
// then DIR is made when missing. Otherwise says why and nothing is written.
bool MayWrite(const std::vector<KTarget>& targets, const KRecoverOptions& options) {
  bool free = true;
  for (const KTarget& target : targets) {
    struct stat st {};
    if (options.Force || !Exists(target.Path, st)) continue;
    std::cerr << "melotrix-cli: " << target.Path << " already exists\n";
    free = false;
  }
  if (!free) {
    std::cerr << "melotrix-cli: nothing was written (--force replaces existing files)\n";
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(options.Dir, error);
  if (!error) return true;
  std::cerr << "melotrix-cli: cannot create the folder " << options.Dir << ": " << error.message() << "\n";
  return false;
}

int Save(const KJournalRecord& record, const KRecoverOptions& options) {
  KCliSession session;
  if (!session.Open()) return 1;
  // A voice whose files are missing, cut short or links stays out, with the reason.
  const KStatus restored = RestoreJournal(session.Banks(), record, options.Folder);
  if (!restored) std::cerr << "melotrix-cli: " << restored.Message << "\n";
  bool failed = !restored;
  const std::vector<KTarget> targets = Targets(session.Banks(), options);
  if (targets.empty()) {
    std::cerr << "melotrix-cli: no bank 1 to 12 holds samples; nothing was written\n";
    return failed ? 1 : 0;
  }
  if (!MayWrite(targets, options)) return 1;
  for (const KTarget& target : targets) {
    KPcmFiles& voice = session.Banks().Bank(target.Bank);
    const bool saved = options.Wav ? SaveWholeWav(voice, target.Path) : voice.SaveMxvFile(target.Path);
    if (saved) std::cout << target.Path << "\n";
    failed |= !saved;
  }
  return failed ? 1 : 0;
}

int Recover(const KRecoverOptions& options, KRunFolder& run) {
  KJournalRecord record;
  const std::string refusal = Refusal(options.Folder, run, record);
  if (!refusal.empty()) {
    std::cerr << "melotrix-cli: " << options.Folder << " " << refusal << "\n";
    return 1;
  }
  if (!options.Dir.empty()) return Save(record, options);
  List(record);
  return 0;
}

}  // namespace

int RunRecover(const KWords& args) {
  KRecoverOptions options;
  const std::string wrong = ParseOptions(args, options);
  if (!wrong.empty()) return UsageError(wrong + "\nUsage: melotrix-cli " + kUsage);
  KRunFolder run;
  const int status = Recover(options, run);
  // The folder stays for the window, which offers it back at its next start.
  run.Leave();
  return status;
}
