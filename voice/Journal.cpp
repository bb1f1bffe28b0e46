#include "voice/Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/FileIO.h"
#include "voice/BankSet.h"

namespace {

constexpr const char* kHeader = "melotrix-journal 1";

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

bool GetValues(std::istream& in, KJournalValues& v) {
  in >> v.Channels >> v.BitsPerSample >> v.SampleRate >> v.END >> v.MKR >> v.MKL >> v.FLG >> v.ZiStart;
  return in && (v.Channels == 1 || v.Channels == 2) && (v.BitsPerSample == 8 || v.BitsPerSample == 16) && v.END >= 0;
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

// The store of `name` in `from`, adopted into `banks`' swap folder; null
// when it is missing or shorter than `values` need.
std::unique_ptr<KPcmMMap> AdoptStore(KBankSet& banks, const std::string& from, const std::string& name,
                                     const KJournalValues& values) {
  auto store = KPcmMMap::Adopt(from + "/" + name, banks.Services().SwapFolder);
  const int64_t needed = int64_t(values.END) * values.Channels * (values.BitsPerSample / 8);
  return store && store->Usable() && store->Size() >= needed ? std::move(store) : nullptr;
}

}  // namespace

bool KJournalRecord::HoldsWork() const {
  for (const KJournalVoice& voice : Voices)
    if (voice.Values.END > 0 || !voice.Undo.empty()) return true;
  return false;
}

KJournalRecord JournalOf(KBankSet& banks) {
  KJournalRecord record;
  record.CurrentBank = banks.CurrentBankNumber;
  for (int k = 0; k < bank::kVoices; ++k) {
    KPcmFiles& v = banks.Bank(k);
    KJournalVoice& out = record.Voices[size_t(k)];
    out = {ValuesOf(v), int32_t(v.FileType), v.FileName, v.AliasName, v.Storage->BaseName(), {}};
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
  }
  for (const std::string& temporary : record.Temporaries) out << "temporary " << Word(temporary) << '\n';
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
    if (kind == "end") return in >> kind ? KStatus::Failure("text after the end") : KStatus::Success();
    bool ok = false;
    if (kind == "current") {
      ok = bool(in >> record.CurrentBank);
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
      KJournalSnapshot s;
      ok = in >> s.Slot && s.Slot >= 0 && s.Slot < KPcmBank::kUndoSlots && GetValues(in, s.Values) &&
           in >> store >> first && Unword(store, s.Store) && Unword(first, s.Label) &&
           KPcmMMap::IsSwapFileName(s.Store);
      if (ok) record.Voices[size_t(k)].Undo.push_back(s);
    }
    if (!ok || in >> kind) return KStatus::Failure("line " + std::to_string(number) + " of the journal is damaged");
  }
  return KStatus::Failure("the journal ends early");
}

KStatus ReadJournal(const std::string& folder, KJournalRecord& record) {
  std::ifstream file(folder + "/" + KJournal::kFileName, std::ios::binary);
  if (!file) return KStatus::Failure("no journal in " + folder);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseJournal(text.str(), record);
}

KStatus RestoreJournal(KBankSet& banks, const KJournalRecord& record, const std::string& folder) {
  std::string missing;
  for (int k = 0; k < bank::kVoices; ++k) {
    const KJournalVoice& saved = record.Voices[size_t(k)];
    KPcmFiles& v = banks.Bank(k);
    std::unique_ptr<KPcmMMap> store = AdoptStore(banks, folder, saved.Store, saved.Values);
    if (!store) {
      if (saved.Values.END > 0) missing += (missing.empty() ? "" : ", ") + std::to_string(k);
      continue;
    }
    v.EmptyUndo();
    v.ReplaceStorage(std::move(store));
    SetValues(v, saved.Values);
    v.FileType = KFileType(saved.FileType);
    v.FileName = saved.FileName;
    v.AliasName = saved.AliasName;
    v.OverviewStale = true;
    for (const KJournalSnapshot& s : saved.Undo) {
      KPcmBank::UndoSlot slot{AdoptStore(banks, folder, s.Store, s.Values)};
      if (!slot.Store) continue;
      SetValues(slot, s.Values);
      slot.Label = s.Label;
      v.RestoreUndo(s.Slot, std::move(slot));
    }
  }
  banks.SelectBank(record.CurrentBank >= bank::kFirst && record.CurrentBank <= bank::kLast ? record.CurrentBank : 1);
  if (missing.empty()) return KStatus::Success();
  return KStatus::Failure("the swap files of voice " + missing + " are missing or cut short");
}

void RemoveTemporaries(const KJournalRecord& record) {
  for (const std::string& path : record.Temporaries) ::unlink(path.c_str());
}

KJournal::KJournal(KBankSet& banks, std::string folder) : banks_(banks), folder_(std::move(folder)) {
  banks_.Services().Retired.Deferring = true;
  banks_.Services().Temporaries = this;
}

KJournal::~KJournal() {
  banks_.Services().Temporaries = nullptr;
  banks_.Services().Retired.Deferring = false;
  banks_.Services().Retired.Release();
}

void KJournal::Update() {
  KJournalRecord now = JournalOf(banks_);
  now.Temporaries = last_.Temporaries;
  if (now != last_ || written_.empty()) {
    last_ = std::move(now);
    Write();
  }
  banks_.Services().Retired.Release();
}

void KJournal::Noted(const std::string& path) {
  last_.Temporaries.push_back(path);
  Write();
}

void KJournal::Forgotten(const std::string& path) {
  std::erase(last_.Temporaries, path);
  Write();
}

bool KJournal::Write() {
  const std::string path = folder_ + "/" + kFileName;
  const std::string next = path + ".new";
  const std::string text = JournalText(last_);
  const int fd = ::open(next.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool ok = fd >= 0 && platform::WriteFully(fd, text.data(), text.size(), 0);
  if (fd >= 0) ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(next.c_str(), path.c_str()) == 0;
  written_ = ok ? text : std::string();
  if (!ok) {
    ::unlink(next.c_str());
    ::unlink(path.c_str());
  }
  return ok;
}
