#include "voice/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/FileIO.h"
#include "voice/BankSet.h"

namespace {

constexpr const char* kHeader = "melotrix-journal 1";
// A journal is a few lines a voice; names take at most a few KB each.
constexpr int64_t kMostJournalBytes = 4 << 20;

std::string RecoveryPaused(const std::string& reason) {
  return "Crash recovery is paused: " + reason +
         ".\nIf Melotrix ends unexpectedly now, its banks come back as they were after the last command that could "
         "be recorded. Recovery resumes by itself once the swap folder has room again.";
}

std::string RecoveryResumed(const std::string& folder) {
  return "Crash recovery works again: the journal in " + folder + " holds the banks as they are now.";
}

// Strings are written as one word: "=" and the bytes, with blanks, "%" and
// control bytes as %XX.
std::string Word(const std::string& text) {
  std::string word = "=";
  for (unsigned char c : text) {
    if (c > ' ' && c != '%' && c != 0x7F) {
      word += char(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      word += hex;
    }
  }
  return word;
}

bool Unword(const std::string& word, std::string& text) {
  if (word.empty() || word[0] != '=') return false;
  text.clear();
  for (size_t at = 1; at < word.size(); ++at) {
    if (word[at] != '%') {
      text += word[at];
      continue;
    }
    unsigned value = 0;
    if (at + 2 >= word.size() || std::sscanf(word.c_str() + at + 1, "%2X", &value) != 1) return false;
    text += char(value);
    at += 2;
  }
  return true;
}

void PutValues(std::ostream& out, const KJournalValues& v) {
  out << v.Channels << ' ' << v.BitsPerSample << ' ' << v.SampleRate << ' ' << v.END << ' ' << v.MKR << ' ' << v.MKL
      << ' ' << v.FLG << ' ' << v.ZiStart;
}

// A format the voice knows, a rate a voice holds (the loaders round every
// rate down to 25) and markers within the voice (all 0 when it is empty).
bool Plausible(const KJournalValues& v) {
  const bool empty = v.END == 0 && v.MKL == 0 && v.MKR == 0 && v.FLG == 0 && v.ZiStart == 0;
  const bool inside = v.END >= 1 && 1 <= v.MKL && v.MKL <= v.MKR && v.MKR <= v.END && 1 <= v.FLG && v.FLG <= v.END &&
                      1 <= v.ZiStart && v.ZiStart <= v.END;
  return (v.Channels == 1 || v.Channels == 2) && (v.BitsPerSample == 8 || v.BitsPerSample == 16) &&
         v.SampleRate >= 25 && v.SampleRate % 25 == 0 && (empty || inside);
}

bool GetValues(std::istream& in, KJournalValues& v) {
  in >> v.Channels >> v.BitsPerSample >> v.SampleRate >> v.END >> v.MKR >> v.MKL >> v.FLG >> v.ZiStart;
  return in && Plausible(v);
}

KJournalValues ValuesOf(const KPcmIO& v) {
  return {v.Channels, v.BitsPerSample, v.SampleRate, v.END, v.MKR, v.MKL, v.FLG, v.ZiStart};
}

template <class Target>
void SetValues(Target& t, const KJournalValues& v) {
  t.Channels = v.Channels;
  t.BitsPerSample = v.BitsPerSample;
  t.SampleRate = v.SampleRate;
  t.END = v.END;
  t.MKR = v.MKR;
  t.MKL = v.MKL;
  t.FLG = v.FLG;
  t.ZiStart = v.ZiStart;
}

// A save's named temporary: ".melotrix-PID-N.tmp" (nothing else is removed).
bool IsTemporary(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') + 1);
  int pid = 0;
  unsigned n = 0;
  char tail[8] = {};
  return path.rfind('/') != std::string::npos && std::sscanf(name.c_str(), ".melotrix-%d-%u%7s", &pid, &n, tail) == 3 &&
         std::string(tail) == ".tmp";
}

// The store of `name` in `from`, adopted into `banks`' swap folder; null,
// with `why` set, when the file is missing, no regular file (a link is
// never followed), shorter than `values` need or cannot be taken over.
std::unique_ptr<KPcmMMap> AdoptStore(KBankSet& banks, const std::string& from, const std::string& name,
                                     const KJournalValues& values, std::string& why) {
  const std::string path = from + "/" + name;
  const int64_t needed = int64_t(values.END) * values.Channels * (values.BitsPerSample / 8);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    why = "its swap file " + name + " is missing";
  } else if (!S_ISREG(st.st_mode)) {
    why = "its swap file " + name + " is no regular file";
  } else if (st.st_size < needed) {
    why = "its swap file " + name + " is cut short (" + std::to_string(st.st_size) + " of " + std::to_string(needed) +
          " bytes)";
  } else if (auto store = KPcmMMap::Adopt(path, banks.Services().SwapFolder); store && store->Usable()) {
    return store;
  } else {
    why = "its swap file " + name + " can be neither linked nor copied into " + banks.Services().SwapFolder + ": " +
          std::strerror(errno ? errno : EIO);
  }
  return nullptr;
}

// The voice's stores and its snapshots' adopted, all or none.
bool AdoptVoice(KBankSet& banks, const KJournalVoice& saved, const std::string& from, std::unique_ptr<KPcmMMap>& store,
                std::vector<KPcmBank::UndoSlot>& undo, std::string& why) {
  store = AdoptStore(banks, from, saved.Store, saved.Values, why);
  for (const KJournalSnapshot& s : saved.Undo) {
    if (!store) return false;
    KPcmBank::UndoSlot& slot = undo.emplace_back(KPcmBank::UndoSlot{AdoptStore(banks, from, s.Store, s.Values, why)});
    if (!slot.Store) return false;
    SetValues(slot, s.Values);
    slot.Label = s.Label;
  }
  return store != nullptr;
}

}  // namespace

bool KJournalRecord::HoldsWork() const {
  return std::any_of(Voices.begin(), Voices.end(), [](const KJournalVoice& voice) { return voice.HoldsWork(); });
}

KJournalRecord JournalOf(KBankSet& banks) {
  KJournalRecord record;
  record.CurrentBank = banks.CurrentBankNumber;
  for (int k = 0; k < bank::kVoices; ++k) {
    KPcmFiles& v = banks.Bank(k);
    KJournalVoice& out = record.Voices[size_t(k)];
    out = {ValuesOf(v), int32_t(v.FileType), v.FileName, v.AliasName, v.Storage->BaseName(), {}, v.Unsaved()};
    for (int slot = 0; slot < KPcmBank::kUndoSlots; ++slot) {
      const KPcmBank::UndoSlot& s = v.UndoAt(slot);
      if (!s.Store) continue;
      KJournalValues values{s.Channels, s.BitsPerSample, s.SampleRate, s.END, s.MKR, s.MKL, s.FLG, s.ZiStart};
      out.Undo.push_back({slot, values, s.Store->BaseName(), s.Label});
    }
  }
  return record;
}

std::string JournalText(const KJournalRecord& record) {
  std::ostringstream out;
  out << kHeader << "\ncurrent " << record.CurrentBank << '\n';
  for (int k = 0; k < bank::kVoices; ++k) {
    const KJournalVoice& v = record.Voices[size_t(k)];
    out << "voice " << k << ' ';
    PutValues(out, v.Values);
    out << ' ' << v.FileType << ' ' << Word(v.Store) << ' ' << Word(v.FileName) << ' ' << Word(v.AliasName) << '\n';
    for (const KJournalSnapshot& s : v.Undo) {
      out << "undo " << k << ' ' << s.Slot << ' ';
      PutValues(out, s.Values);
      out << ' ' << Word(s.Store) << ' ' << Word(s.Label) << '\n';
    }
    if (v.Changed) out << "changed " << k << '\n';
  }
  for (const std::string& temporary : record.Temporaries) out << "temporary " << Word(temporary) << '\n';
  if (record.Closed) out << "closed\n";
  out << "end\n";
  return out.str();
}

KStatus ParseJournal(const std::string& text, KJournalRecord& record) {
  record = KJournalRecord{};
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeader) return KStatus::Failure("not a journal");
  std::array<bool, bank::kVoices> seen{};
  int number = 1;
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream in(line);
    std::string kind, store, first, second;
    int k = -1;
    in >> kind;
    if (kind == "end") {
      if (in >> kind) return KStatus::Failure("text after the end");
      for (const KJournalVoice& voice : record.Voices)
        if (!voice.Undo.empty() && voice.Undo.back().Slot != KPcmBank::kUndoSlots - 1)
          return KStatus::Failure("an undo stack of the journal misses its top");
      return KStatus::Success();
    }
    bool ok = false;
    if (kind == "current") {
      // 0 before a bank was first selected.
      ok = in >> record.CurrentBank && record.CurrentBank >= 0 && record.CurrentBank <= bank::kLast;
    } else if (kind == "closed") {
      ok = !record.Closed;
      record.Closed = true;
    } else if (kind == "changed" && in >> k && k >= 0 && k < bank::kVoices && seen[size_t(k)]) {
      ok = !record.Voices[size_t(k)].Changed;
      record.Voices[size_t(k)].Changed = true;
    } else if (kind == "temporary") {
      ok = in >> first && Unword(first, store) && IsTemporary(store);
      if (ok) record.Temporaries.push_back(store);
    } else if (kind == "voice" && in >> k && k >= 0 && k < bank::kVoices && !seen[size_t(k)]) {
      KJournalVoice& v = record.Voices[size_t(k)];
      seen[size_t(k)] = true;
      ok = GetValues(in, v.Values) && in >> v.FileType >> store >> first >> second && Unword(store, v.Store) &&
           Unword(first, v.FileName) && Unword(second, v.AliasName) && KPcmMMap::IsSwapFileName(v.Store) &&
           v.FileType >= 1 && v.FileType <= 7;
    } else if (kind == "undo" && in >> k && k >= 0 && k < bank::kVoices && seen[size_t(k)]) {
      // A stack fills from its top slot down, so its slots follow one another.
      std::vector<KJournalSnapshot>& undo = record.Voices[size_t(k)].Undo;
      KJournalSnapshot s;
      ok = in >> s.Slot && s.Slot >= 0 && s.Slot < KPcmBank::kUndoSlots &&
           (undo.empty() || s.Slot == undo.back().Slot + 1) && GetValues(in, s.Values) && in >> store >> first &&
           Unword(store, s.Store) && Unword(first, s.Label) && KPcmMMap::IsSwapFileName(s.Store);
      if (ok) undo.push_back(s);
    }
    if (!ok || in >> kind) return KStatus::Failure("line " + std::to_string(number) + " of the journal is damaged");
  }
  return KStatus::Failure("the journal ends early");
}

KStatus ReadJournal(const std::string& folder, KJournalRecord& record, bool* missing) {
  const std::string path = folder + "/" + KJournal::kFileName;
  struct stat st {};
  const bool absent = lstat(path.c_str(), &st) != 0 && errno == ENOENT;
  if (missing) *missing = absent;
  if (absent) return KStatus::Failure("no journal in " + folder);
  // Written by us it is a few lines a voice: a larger one is not ours.
  if (!S_ISREG(st.st_mode) || st.st_size > kMostJournalBytes) return KStatus::Failure(path + " is no journal");
  std::ifstream file(path, std::ios::binary);
  if (!file) return KStatus::Failure("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseJournal(text.str(), record);
}

KStatus RestoreJournal(KBankSet& banks, const KJournalRecord& record, const std::string& folder,
                       std::vector<int>* failed) {
  std::string reasons;
  for (int k = 0; k < bank::kVoices; ++k) {
    const KJournalVoice& saved = record.Voices[size_t(k)];
    std::unique_ptr<KPcmMMap> store;
    std::vector<KPcmBank::UndoSlot> undo;
    std::string why;
    // An empty voice keeps its own empty store and takes only its record.
    if (saved.HoldsWork() && !AdoptVoice(banks, saved, folder, store, undo, why)) {
      std::string name = VoiceName(k);
      name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
      reasons += (reasons.empty() ? "" : "\n") + name + " cannot be restored: " + why + ".";
      if (failed) failed->push_back(k);
      continue;
    }
    KPcmFiles& v = banks.Bank(k);
    v.EmptyUndo();
    if (store) v.ReplaceStorage(std::move(store));
    SetValues(v, saved.Values);
    v.FileType = KFileType(saved.FileType);
    v.FileName = saved.FileName;
    v.AliasName = saved.AliasName;
    v.OverviewStale = true;
    for (size_t s = 0; s < undo.size(); ++s) v.RestoreUndo(saved.Undo[s].Slot, std::move(undo[s]));
    v.MarkChanged(saved.Changed);
  }
  banks.SelectBank(record.CurrentBank);
  return reasons.empty() ? KStatus::Success() : KStatus::Failure(reasons);
}

KJournalRecord KeepOnly(const KJournalRecord& record, const std::vector<int>& kept) {
  KJournalRecord left = record;
  left.Temporaries.clear();
  for (int k = 0; k < bank::kVoices; ++k) {
    if (std::find(kept.begin(), kept.end(), k) != kept.end()) continue;
    KJournalVoice& v = left.Voices[size_t(k)];
    v = KJournalVoice{KJournalValues{}, v.FileType, v.FileName, v.AliasName, v.Store, {}, false};
  }
  return left;
}

std::string VoiceName(int index) {
  if (index == bank::kCopyBuffer) return "copy buffer";
  return (index <= bank::kLast ? "bank " : "working voice ") + std::to_string(index);
}

void RemoveTemporaries(const KJournalRecord& record) {
  for (const std::string& path : record.Temporaries) ::unlink(path.c_str());
}

KStatus WriteJournal(const std::string& folder, const std::string& text) {
  const std::string path = folder + "/" + KJournal::kFileName;
  const std::string next = path + ".new";
  const int fd = ::open(next.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  bool ok = fd >= 0 && platform::WriteFully(fd, text.data(), text.size(), 0);
  int err = errno;
  if (fd >= 0 && ::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && std::rename(next.c_str(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (ok) return KStatus::Success();
  ::unlink(next.c_str());
  return KStatus::Failure(std::string("cannot write the journal in ") + folder + ": " + std::strerror(err ? err : EIO));
}

KJournal::KJournal(KBankSet& banks, std::string folder) : banks_(banks), folder_(std::move(folder)) {
  banks_.Services().Retired.Deferring = true;
  banks_.Services().Temporaries = this;
}

KJournal::~KJournal() {
  if (!kept_) ::unlink((folder_ + "/" + kFileName).c_str());
  banks_.Services().Temporaries = nullptr;
  banks_.Services().Retired.Deferring = false;
  banks_.Services().Retired.Release();
}

KJournalRecord KJournal::Now() const {
  KJournalRecord now = JournalOf(banks_);
  now.Temporaries = temporaries_;
  return now;
}

void KJournal::Update() {
  const KJournalRecord now = Now();
  // While the journal cannot be written, the stores the last good one names stay.
  if ((now == written_ && wrote_) || Write(now)) banks_.Services().Retired.Release();
}

bool KJournal::Close() {
  KJournalRecord now = Now();
  now.Closed = true;
  kept_ = true;
  return Write(now);
}

// A save runs inside a command: the voices as the last journal has them,
// with the temporaries as they are now.
void KJournal::Noted(const std::string& path) {
  temporaries_.push_back(path);
  WriteTemporaries();
}

void KJournal::Forgotten(const std::string& path) {
  std::erase(temporaries_, path);
  WriteTemporaries();
}

void KJournal::WriteTemporaries() {
  KJournalRecord now = wrote_ ? written_ : Now();
  now.Temporaries = temporaries_;
  Write(now);
}

bool KJournal::Write(const KJournalRecord& record) {
  const KStatus written = WriteJournal(folder_, JournalText(record));
  if (written) {
    written_ = record;
    wrote_ = true;
  }
  // Told once when recovery stops working and once when it works again; not
  // while the window closes.
  if (bool(written) == paused_ && !kept_) {
    paused_ = !written;
    banks_.Services().Ui.RecoveryNotice(written ? RecoveryResumed(folder_) : RecoveryPaused(written.Message));
  }
  return bool(written);
}
