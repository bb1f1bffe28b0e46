// melotrix-cli recover on run folders that a killed window leaves: what it
// refuses and why, the listing, and the banks it saves without ever losing,
// overwriting or following a link out of the folder.
#include <functional>
#include <memory>
#include <tuple>

#include "cli/CliFixture.h"
#include "platform/LittleEndian.h"
#include "platform/RunFolder.h"
#include "voice/HeadlessVoice.h"
#include "voice/Journal.h"

namespace {

// A run folder as a window that was killed leaves it: its journal and swap
// files, and the lock free unless `held`. The bank set lives on with the
// test, so that the swap files stay.
class CrashedRun {
 public:
  CrashedRun(const std::string& base, bool held = false) : held_(held) {
    std::string error;
    run_.Create(base, KRunFolder::kWindowPrefix, error);
    banks_ = std::make_unique<KBankSet>(run_.Path(), KHeadlessVoice::Factory(nullptr));
    banks_->KeepJournal(run_.Path());
  }
  // Bank 1 mono 8-bit, 5 frames long by an inserted mute to undo, marked
  // 2..4 with FLG at 3 and copied into the copy buffer; bank 2 stereo 16-bit,
  // also with a mute to undo, current; working voice 13 mono 8-bit.
  void Fill(const std::string& scratch) {
    const auto load = [&](int index, const std::string& bytes, int channels, int bits) {
      WriteFile(scratch + std::to_string(index), bytes);
      EXPECT_TRUE(Bank(index).LoadRawPcmFile(scratch + std::to_string(index), channels, bits));
    };
    load(1, "\x10\x20\x30\x40", 1, 8);
    EXPECT_TRUE(Bank(1).InsertMute(1));
    Bank(1).MKL = 2, Bank(1).MKR = 4, Bank(1).FLG = 3;
    EXPECT_TRUE(Bank(1).CopyMarked());
    load(2, Noise(12, 2), 2, 16);
    EXPECT_TRUE(Bank(2).InsertMute(2));
    load(13, "\x01\x02\x03\x04", 1, 8);
    banks_->SelectBank(2);
  }
  // Writes the journal and lets the lock go, as a kill does.
  const std::string& Crash() {
    banks_->JournalChanges();
    if (!held_) run_.Leave();
    return run_.Path();
  }
  KBankSet& Banks() { return *banks_; }
  KPcmFiles& Bank(int index) { return banks_->Bank(index); }
  // The voice's samples, END frames.
  std::string Samples(int index) {
    return ReadFile(Bank(index).Storage->OpenFilePath()).substr(0, size_t(Bank(index).END * Bank(index).FrameBytes()));
  }
  // Puts a symbolic link to `target` in place of the swap file of the voice.
  void LinkStore(int index, const std::string& target) {
    const std::string store = run_.Path() + "/" + Bank(index).Storage->BaseName();
    fs::remove(store);
    fs::create_symlink(target, store);
  }

 private:
  bool held_;
  KRunFolder run_;
  std::unique_ptr<KBankSet> banks_;
};

// The files of `folder`, each file's bytes joined.
std::string FolderBytes(const std::string& folder) {
  std::string all;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) all += ReadFile(entry.path().string());
  return all;
}

}  // namespace

// Each refusal says which it is on stderr and changes nothing; a save never
// replaces a file unasked, makes its folder, and leaves a voice whose swap
// file is a link unrestored while the others are saved; the listing names
// each voice with its values, markers, names and undo labels. The run
// folders stay.
TEST_F(Cli, RecoverRefusesClearlyAndNeverOverwrites) {
  const std::string runs = dir_ / "runs", outside = Noise(64, 7);
  CrashedRun full(runs), empty(runs), held(runs, true), linked(runs);
  full.Fill(dir_ / "f");
  linked.Fill(dir_ / "l");
  const std::string folders[] = {full.Crash(), empty.Crash(), held.Crash(), linked.Crash()};
  WriteFile(dir_ / "outside.raw", outside);
  linked.LinkStore(2, dir_ / "outside.raw");
  linked.LinkStore(13, dir_ / "made-outside");
  fs::create_directories(dir_ / "plain");
  fs::create_directories(dir_ / "kept");
  WriteFile(dir_ / "kept/Bank002.MXV", "mine");
  const std::string mono = ": channels=1 bits=8 rate=8000 end=4 alias=\n",
                    stereo = ": channels=2 bits=16 rate=8000 end=5 alias=\n";
  const struct {
    std::string Line;
    int Status;
    std::string Err;
    std::function<void(const CliResult&)> Then;
  } rows[] = {
      {"recover plain", 1, "melotrix-cli: plain is not a run folder\n", {}},
      {"recover " + folders[2], 1, "melotrix-cli: " + folders[2] + " is in use by a running copy\n", {}},
      {"recover " + folders[1] + " --save e", 1, "melotrix-cli: " + folders[1] + " holds no voice\n",
       [&](const CliResult&) { EXPECT_FALSE(Exists("e")); }},
      {"recover " + folders[0] + " --save ''", 2, "--save needs the name of a folder", {}},
      {"recover " + folders[0] + " --save kept", 1,
       "melotrix-cli: kept/Bank002.MXV already exists\nmelotrix-cli: nothing was written (--force replaces existing "
       "files)\n",
       [&](const CliResult&) { EXPECT_EQ(FolderBytes(dir_ / "kept"), "mine"); }},
      {"recover " + folders[0] + " --force --save kept", 0, "",
       [&](const CliResult&) { EXPECT_EQ(Run("info kept/Bank002.MXV").out, "kept/Bank002.MXV" + stereo); }},
      {"recover " + folders[0] + " --save new/deep", 0, "",
       [&](const CliResult&) { EXPECT_EQ(Run("info new/deep/Bank001.MXV").out, "new/deep/Bank001.MXV" + mono); }},
      {"recover " + folders[3] + " --format wav --save linked", 1,
       "melotrix-cli: Bank 2 cannot be restored: its swap file " + linked.Bank(2).Storage->BaseName() +
           " is no regular file.\nWorking voice 13 cannot be restored: its swap file " +
           linked.Bank(13).Storage->BaseName() + " is no regular file.\n",
       [&](const CliResult&) {
         EXPECT_EQ(FolderBytes(dir_ / "linked").find(outside.substr(0, 8)), std::string::npos);
         EXPECT_TRUE(Exists("linked/Bank001.WAV"));
         EXPECT_EQ(std::pair(Exists("linked/Bank002.WAV"), Exists("made-outside")), std::pair(false, false));
       }},
      {"recover " + folders[0], 0, "",
       [&](const CliResult& r) {
         const KJournalRecord record = JournalOf(full.Banks());
         const auto line = [&](const std::string& name, int index, const std::string& marks) {
           const KJournalVoice& v = record.Voices[size_t(index)];
           return name + ": channels=" + std::to_string(v.Values.Channels) + " bits=" +
                  std::to_string(v.Values.BitsPerSample) + " rate=8000 end=" + std::to_string(v.Values.END) + " " +
                  marks + " file=" + v.FileName + " alias=" + v.AliasName + " undo=" + std::to_string(v.Undo.size()) +
                  (v.Undo.empty() ? "" : " \"" + v.Undo[0].Label + "\"") + "\n";
         };
         EXPECT_EQ(r.out, "current bank 2\n" + line("copy buffer", 0, "mkl=1 mkr=3 flg=1") +
                              line("bank 1", 1, "mkl=2 mkr=4 flg=3") + line("bank 2", 2, "mkl=1 mkr=2 flg=1") +
                              line("working voice 13", 13, "mkl=1 mkr=4 flg=1"));
       }},
      // A WAV save keeps every frame, also the fifth byte of 8-bit mono that an MXV file drops.
      {"recover " + folders[0] + " --format wav --save w", 0, "",
       [&](const CliResult&) {
         for (int bank : {1, 2}) {
           const std::string wav = ReadFile(dir_ / ("w/Bank00" + std::to_string(bank) + ".WAV"));
           const std::string samples = full.Samples(bank);
           ASSERT_GE(wav.size(), 44u) << bank;
           const auto field = [&wav](size_t at) { return GetLe(reinterpret_cast<const uint8_t*>(wav.data() + at), 4); };
           EXPECT_EQ(std::tuple(field(4) + 8, field(40), wav.substr(44, samples.size())),
                     std::tuple(uint32_t(wav.size()), uint32_t(samples.size()), samples))
               << bank;
         }
       }},
  };
  for (const auto& row : rows) {
    const CliResult r = Run(row.Line);
    EXPECT_EQ(r.status, row.Status) << row.Line;
    EXPECT_NE(r.err.find(row.Err), std::string::npos) << row.Line << "\n" << r.err;
    if (row.Then) row.Then(r);
    for (const std::string& folder : folders) EXPECT_TRUE(fs::exists(folder + "/journal")) << row.Line;
  }
}
