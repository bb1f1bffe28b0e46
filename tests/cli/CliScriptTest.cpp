// melotrix-cli's scripts: the commands, the checks before a run, what stops
// a run, the script's sources and the run's own swap folder.
#include "cli/CliFixture.h"

// One script runs every command of the table but `record` (it needs a wave
// device), with quoted words; each reports true and the voice they leave is
// known.
TEST_F(Cli, EveryCommandRunsAsTheWindowCommandOfItsRole) {
  fs::create_directory(dir_ / "my voices");
  WriteFile(dir_ / "my voices/in 8.pcm", "\x64\x6e\x78\x82\x8c\x96\xa0\xaa");  // 100, 110, ... 170
  WriteFile(dir_ / "all.mx", R"(clear-all; play-all; play-marked; play-flg
load-pcm 1 8 "my voices/in 8.pcm"; rate 11030
save-mxv a.mxv; save-wav a.wav; save-voc a.voc; save-pcm "my voices/a 8.pcm"
set-mkl 2; set-mkr 3; copy; mute-marked; save
bank 02; load-mxv a.mxv; set-flg 3; paste-insert
bank 3; load-wav a.wav; paste-cover; echo 100 10; normalize -1; mark-sound -40; mark-sound -45 2; clear-bank
bank 4; load-voc a.voc; paste-mix; undo
bank 5; mix 2 4 0 0; translate 1 16
bank 6; load-pcm 1 8 "my voices/in 8.pcm"; translate 1 16; insert-mute 2
bank 7; merge 5 6; split 8 9
# bank 8: 72 92 112 112 132 152 172 192 160 170 as 16-bit samples
bank 8; set-mkl 2; set-mkr 3; mute-marked; set-mkr 8; mute-unmark
set-flg 4; insert-mute 20; fade-in; amp 200; fade-out; set-mkl 5; set-mkr 24; cut-marked
set-flg 7; set-end; set-mkl 4; set-mkr 9; cut-unmark; mark-all; set-flg 3; auto-mark 1; reset-mkr; set-mkl 2
reset-mkl; reset-flg; goto end; goto head; goto mkl; goto mkr; goto flg
alias "Door; bell"; state; dump "my voices/out 8.raw"
)");
  const CliResult r = Run("--trace all.mx");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out, "-> false"), "");
  EXPECT_EQ(Lines(r.out, " -> ", false),
            "bank=8 channels=1 bits=16 rate=11025 end=4 mkl=1 mkr=4 flg=1 zistart=1 filetype=5 file=" + dir_.Path() +
                "/Bank008.MXV alias=Door; bell undo=Undo : Cut unmark area undo_depth=4");
  EXPECT_EQ(ReadFile(dir_ / "my voices/out 8.raw"), std::string("\0\0\0\x04\0\x18\0\x2c", 8));  // 0, 1024, 6144, 11264
  EXPECT_EQ(ReadFile(dir_ / "my voices/a 8.pcm"), "\x64\x80\x80\x82\x8c\x96\xa0\xaa");          // saved by "save"
}

// A run stops after the first command that showed a message (exit 1) unless
// told to keep going; a false without a message is no failure; --trace prints
// each command as written with its flag, the one that stopped the run
// included. Saving under an empty name leaves the voice's own file alone;
// without a wave device, play and record show their open error. A mistake in
// the script is reported by its line and nothing runs (exit 2).
TEST_F(Cli, RunsStopAtTheFirstMessageUnlessToldToKeepGoing) {
  WriteFile(dir_ / "in.pcm", std::string(64, '\x40'));
  const std::string none = Shown(msg::CannotCreate(""));
  const std::tuple<const char*, const char*, int, std::string, std::string> cases[] = {
      {"", "dump a.out; dump no/such/folder/x.raw; dump c.out", 1, "",
       Shown(msg::CannotCreate("no/such/folder/x.raw"))},
      {"--keep-going", "amp 0; echo 99 50; dump b.out", 1, "", Shown(msg::kAmplifierRange) + Shown(msg::kEchoDelay)},
      {"--keep-going", "copy; bank 2", 0, "", ""},
      {"--trace", "bank 2 ;  alias  \"two  words\" ;copy;amp 1000; state", 1,
       "bank 2 -> true\nalias  \"two  words\" -> true\ncopy -> false\namp 1000 -> false\n",
       Shown(msg::kAmplifierRange)},
      {"--trace --keep-going", R"(load-pcm 1 8 in.pcm; amp 150; save-mxv ""; save-wav ""; save-voc ""; save-pcm "")", 1,
       "load-pcm 1 8 in.pcm -> true\namp 150 -> true\nsave-mxv \"\" -> false\nsave-wav \"\" -> false\n"
       "save-voc \"\" -> false\nsave-pcm \"\" -> false\n",
       none + none + none + none},
      {"--trace --keep-going", "load-pcm 1 8 in.pcm; play-all; record 2 16 1.5 22050", 1,
       "load-pcm 1 8 in.pcm -> true\nplay-all -> false\nrecord 2 16 1.5 22050 -> false\n",
       Shown(msg::kWaveOutOpen) + Shown(msg::kWaveInOpen)},
      {"--trace",
       "dump d.out\nbank 13\n# a comment; bank 99\n\n   copy ; frobnicate\necho 280\namp lots; goto\nalias \"x"
       "\nmark-sound; mark-sound -45 10 3; mark-sound -45 x",
       2, "",
       "line 2: bank: N must be a bank from 1 to 12, not \"13\"\nline 5: unknown command \"frobnicate\"\n"
       "line 6: echo takes 2 arguments (DELAY_MS ATTEN_PERCENT), not 1\n"
       "line 7: amp: PERCENT must be a number, not \"lots\"\nline 7: goto needs one of: head, end, flg, mkl, mkr\n"
       "line 8: a quote is not closed\nline 9: mark-sound takes 1 to 2 arguments (DBFS [MARGIN_MS]), not 0\n"
       "line 9: mark-sound takes 1 to 2 arguments (DBFS [MARGIN_MS]), not 3\n"
       "line 9: mark-sound: MARGIN_MS must be a number, not \"x\"\n"}};
  for (const auto& [flags, script, status, out, err] : cases) {
    const CliResult r = Run(flags, script);
    EXPECT_EQ(std::tie(r.status, r.out, r.err), std::tie(status, out, err)) << script;
  }
  EXPECT_TRUE(Exists("a.out") && Exists("b.out"));
  EXPECT_FALSE(Exists("c.out") || Exists("d.out"));
  EXPECT_EQ(ReadFile(dir_ / "in.pcm"), std::string(64, '\x40'));
}

// A script comes from a file or standard input; usage mistakes exit 2 before
// anything runs. Each run has a swap folder of its own, gone at its end; the
// folders of killed runs go with the next run, those of live runs stay.
TEST_F(Cli, ScriptFilesStandardInputUsageAndSwapFolders) {
  const std::string swap = System() + "/SYS_DATA/cli-", alive = swap + std::to_string(getpid()) + "-alive";
  fs::create_directories(alive);
  fs::create_directories(swap + "2147483646-gone");
  WriteFile(swap + "2147483646-gone/SY$00000.001", "left over");
  WriteFile(dir_ / "in.pcm", "\x0a\x14\x1e\x28");
  const std::string script =
      "# trim\n\nload-pcm 1 8 in.pcm\r\nset-mkl 2 ; set-mkr 3\ncut-unmark\n  # done\ndump o.raw\n";
  WriteFile(dir_ / "trim.mx", script);
  EXPECT_EQ(Run("trim.mx").status, 0);
  EXPECT_EQ(ReadFile(dir_ / "o.raw"), "\x14\x1e");
  EXPECT_EQ(Lines(Run("--trace -", "", script).out, " -> "),
            "load-pcm 1 8 in.pcm -> true set-mkl 2 -> true set-mkr 3 -> true cut-unmark -> true dump o.raw -> true");
  EXPECT_EQ(std::distance(fs::directory_iterator(System() + "/SYS_DATA"), {}), 1);
  EXPECT_TRUE(fs::exists(alive));
  for (const char* line :
       {"", "missing.mx", "--bogus -e state", "-e state x", "info", "info --raw 3 8 x.pcm", "info --dither a.flac",
        "convert a.wav", "convert a.wav out.ogg", "convert a.flac --to out --format ogg",
        "convert --rate 2000 a.flac o.wav", "convert --bits 24 a.flac o.wav"})
    EXPECT_EQ(Run(line).status, 2) << line;
  EXPECT_FALSE(Exists("out"));
}
