#include <unistd.h>

#include <filesystem>

#include "CliFixture.h"

namespace {

using Script = CliFixture;

TEST_F(Script, StartsInTheWindowsStartState) {
  CliResult r = cli_.Script("state");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "bank=1\nchannels=1\nbits=8\nrate=16000\nend=0\nmkl=0\nmkr=0\nflg=0\nzistart=0\nfiletype=5\nfile=" +
                       dir_.Path() + "/Bank001.MXV\nalias=Alias Name\nundo=Undo\nundo_depth=0\n");
}

TEST_F(Script, MistakesAreReportedByLineAndNothingRuns) {
  WriteFile(dir_ / "in.pcm", Bytes8({1, 2, 3}));
  std::string script =
      "load-pcm 1 8 in.pcm; dump first.out\n"
      "bank 13\n"
      "# a comment; bank 99\n"
      "\n"
      "   copy ; frobnicate\n"
      "echo 280\n"
      "amp lots; goto\n"
      "alias \"not closed\n";
  CliResult r = cli_.Script(script);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "line 2: bank: N must be a bank from 1 to 12, not \"13\"\n"
            "line 5: unknown command \"frobnicate\"\n"
            "line 6: echo takes 2 arguments (DELAY_MS ATTEN_PERCENT), not 1\n"
            "line 7: amp: PERCENT must be a number, not \"lots\"\n"
            "line 7: goto needs one of: head, end, flg, mkl, mkr\n"
            "line 8: a quote is not closed\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "first.out"));
}

TEST_F(Script, ArgumentKindsAreChecked) {
  for (const char* wrong : {"load-pcm 3 8 x", "load-pcm 1 12 x", "translate 2", "mix 1 2 3 13", "split 0 1",
                            "merge 1 x", "insert-mute 1.5", "auto-mark 99999999999", "set-flg", "rate fast",
                            "record 1 8 ten 8000", "state now", "goto head now", "dump", "save x"}) {
    CliResult r = cli_.Script(std::string("dump before.out; ") + wrong);
    EXPECT_EQ(r.status, 2) << wrong;
    EXPECT_EQ(r.err.rfind("line 1: ", 0), 0u) << wrong << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "before.out"));
}

TEST_F(Script, StopsAfterTheFirstCommandThatShowedAMessage) {
  CliResult r = cli_.Script("dump a.out; amp 0; dump b.out");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown(msg::kAmplifierRange));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "a.out"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "b.out"));
}

TEST_F(Script, KeepGoingRunsEverythingAndStillExitsOne) {
  CliResult r = cli_.Run({"--keep-going", "-e", "amp 0; echo 99 50; dump b.out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown(msg::kAmplifierRange) + Shown(msg::kEchoDelay));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "b.out"));
  EXPECT_EQ(cli_.Run({"--keep-going", "-e", "dump c.out; bank 2"}).status, 0);
}

TEST_F(Script, TracePrintsEachCommandAsWrittenWithItsFlag) {
  CliResult r = cli_.Run({"--trace", "-e", "bank 2 ;  alias  \"two  words\" ;copy;amp 1000; state"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "bank 2 -> true\nalias  \"two  words\" -> true\ncopy -> false\namp 1000 -> false\n");
  EXPECT_EQ(r.err, Shown(msg::kAmplifierRange));
}

TEST_F(Script, PlayAndRecordFindNoWaveDevice) {
  WriteFile(dir_ / "in.pcm", Bytes8(std::vector<uint8_t>(100, 130)));
  CliResult r = cli_.Run({"--trace", "--keep-going", "-e",
                          "play-all; load-pcm 1 8 in.pcm; play-all; play-marked; play-flg; record 2 16 1.5 22060; state"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown(msg::kWaveOutOpen) + Shown(msg::kWaveOutOpen) + Shown(msg::kWaveOutOpen) +
                       Shown(msg::kWaveInOpen));
  EXPECT_EQ(r.out.substr(0, r.out.find("bank=")),
            "play-all -> true\nload-pcm 1 8 in.pcm -> true\nplay-all -> false\nplay-marked -> false\n"
            "play-flg -> false\nrecord 2 16 1.5 22060 -> false\n");
  auto state = State(r.out);
  EXPECT_EQ(state["end"], "0");
  EXPECT_EQ(state["channels"], "2");
  EXPECT_EQ(state["bits"], "16");
  EXPECT_EQ(state["rate"], "22050");
}

TEST_F(Script, ReadsScriptFilesAndStandardInput) {
  WriteFile(dir_ / "in.pcm", Bytes8({10, 20, 30, 40}));
  std::string script = "# trim\n\nload-pcm 1 8 in.pcm\r\nset-mkl 2 ; set-mkr 3\ncut-unmark\n  # done\ndump out.raw\n";
  WriteFile(dir_ / "trim.mx", script);
  CliResult file = cli_.Run({"trim.mx"});
  EXPECT_EQ(file.status, 0) << file.err;
  EXPECT_EQ(ReadFile(dir_ / "out.raw"), Bytes8({20, 30}));
  std::filesystem::remove(dir_ / "out.raw");
  CliResult input = cli_.Run({"--trace", "-"}, script);
  EXPECT_EQ(input.status, 0) << input.err;
  EXPECT_EQ(ReadFile(dir_ / "out.raw"), Bytes8({20, 30}));
  EXPECT_EQ(input.out.substr(0, 27), "load-pcm 1 8 in.pcm -> true");
  EXPECT_EQ(cli_.Run({"missing.mx"}).status, 2);
}

TEST_F(Script, QuotedWordsHoldBlanksAndSemicolons) {
  std::filesystem::create_directory(dir_ / "my voices");
  WriteFile(dir_ / "my voices/a b.pcm", Bytes8({7, 8, 9, 10}));
  std::string out = Quiet("load-pcm 1 8 \"my voices/a b.pcm\"; alias \"x; y\"; dump \"my voices/c d.raw\"; state");
  EXPECT_EQ(ReadFile(dir_ / "my voices/c d.raw"), Bytes8({7, 8, 9, 10}));
  EXPECT_EQ(State(out)["alias"], "x; y");
  EXPECT_EQ(State(out)["file"], "my voices/a b.pcm");
}

TEST_F(Script, DumpThatCannotWriteShowsAMessage) {
  CliResult r = cli_.Script("dump no/such/folder/x.raw");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, KFormatMessage(msg::kCannotCreate, "no/such/folder/x.raw") + "\n\n");
}

TEST_F(Script, EachRunHasItsOwnSwapFolderAndLeavesNothingBehind) {
  WriteFile(dir_ / "in.pcm", Bytes8(std::vector<uint8_t>(5000, 1)));
  Quiet("load-pcm 1 8 in.pcm; mute-marked; copy; bank 2; paste-insert");
  std::string swap = cli_.SystemDir() + "/SYS_DATA";
  ASSERT_TRUE(std::filesystem::is_directory(swap));
  EXPECT_TRUE(std::filesystem::is_empty(swap));
}

TEST_F(Script, FoldersLeftByKilledRunsAreRemovedByTheNextRun) {
  std::string swap = cli_.SystemDir() + "/SYS_DATA";
  std::filesystem::create_directories(swap + "/cli-2147483646-gone");
  WriteFile(swap + "/cli-2147483646-gone/SY$00000.001", "left over");
  std::string alive = swap + "/cli-" + std::to_string(getpid()) + "-alive";
  std::filesystem::create_directories(alive);
  Quiet("state");
  EXPECT_FALSE(std::filesystem::exists(swap + "/cli-2147483646-gone"));
  EXPECT_TRUE(std::filesystem::exists(alive));
}

TEST_F(Script, ASwapFolderThatCannotBeMadeIsNamed) {
  WriteFile(cli_.SystemDir(), "a file, not a folder");
  CliResult r = cli_.Script("state");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(cli_.SystemDir() + "/SYS_DATA"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

TEST_F(Script, HelpNamesEveryCommandAndVersionIsPrinted) {
  CliResult help = cli_.Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* name :
       {"bank N", "load-mxv P", "load-wav P", "load-voc P", "load-pcm CH BITS P", "save ", "save-mxv P", "save-wav P",
        "save-voc P", "save-pcm P", "undo", "copy", "paste-insert", "paste-cover", "paste-mix", "cut-marked",
        "cut-unmark", "mute-marked", "mute-unmark", "fade-in", "fade-out", "set-end", "insert-mute FRAMES",
        "amp PERCENT", "echo DELAY_MS ATTEN_PERCENT", "mix S1 S2 S3 S4", "split B1 B2", "merge B1 B2",
        "translate CH BITS", "mark-all", "reset-mkl", "reset-mkr", "reset-flg", "auto-mark FRAMES", "set-mkl P",
        "set-mkr P", "set-flg P", "goto head", "goto end", "goto flg", "goto mkl", "goto mkr", "rate HZ",
        "alias TEXT", "clear-bank", "clear-all", "play-all", "play-marked", "play-flg",
        "record CH BITS SECONDS RATE", "state", "dump P", "info [--raw CH BITS] FILE...",
        "convert [--raw CH BITS] [--alias TEXT] IN OUT", "--trace", "--keep-going"})
    EXPECT_NE(help.out.find(name), std::string::npos) << name;
  CliResult version = cli_.Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("melotrix-cli ", 0), 0u);
  EXPECT_GT(version.out.size(), 14u);
  EXPECT_EQ(cli_.Run({}).status, 2);
  EXPECT_EQ(cli_.Run({"--bogus", "-e", "state"}).status, 2);
  EXPECT_EQ(cli_.Run({"-e", "state", "extra"}).status, 2);
}

}  // namespace
