// End-to-end tests of melotrix-cli: each test runs the built program with its
// system folder and home inside a TempDir and reads what it printed.
#include "cli/CliFixture.h"

namespace {

TEST_F(Cli, StartsInTheWindowsStartState) {
  EXPECT_EQ(Quiet("state"),
            "bank=1\nchannels=1\nbits=8\nrate=16000\nend=0\nmkl=0\nmkr=0\nflg=0\nzistart=0\nfiletype=5\n"
            "file=" +
                dir_.Path() + "/Bank001.MXV\nalias=Alias Name\nundo=Undo\nundo_depth=0\n");
}

// One script runs every command of the table but `record` (it needs a wave
// device), with quoted words; each reports true and the voice they leave is
// known. --help describes each of them.
TEST_F(Cli, EveryCommandRunsAsTheWindowCommandOfItsRole) {
  fs::create_directory(dir_ / "my voices");
  WriteFile(dir_ / "my voices/in 8.pcm", "\x64\x6e\x78\x82\x8c\x96\xa0\xaa");  // 100, 110, ... 170
  WriteFile(dir_ / "all.mx", R"(clear-all; play-all; play-marked; play-flg
load-pcm 1 8 "my voices/in 8.pcm"; rate 11030
save-mxv a.mxv; save-wav a.wav; save-voc a.voc; save-pcm "my voices/a 8.pcm"
set-mkl 2; set-mkr 3; copy; mute-marked; save
bank 2; load-mxv a.mxv; set-flg 3; paste-insert
bank 3; load-wav a.wav; paste-cover; echo 100 10; clear-bank
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
  CliResult r = Run({"--trace", "all.mx"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out, "-> false"), "");
  EXPECT_EQ(Lines(r.out, " -> ", false),
            "bank=8 channels=1 bits=16 rate=11025 end=4 mkl=1 mkr=4 flg=1 zistart=1 "
            "filetype=5 file=" +
                dir_.Path() + "/Bank008.MXV alias=Door; bell undo=Undo : Cut unmark area undo_depth=4");
  EXPECT_EQ(ReadFile(dir_ / "my voices/out 8.raw"), std::string("\0\0\0\x04\0\x18\0\x2c", 8));  // 0, 1024, 6144, 11264
  EXPECT_EQ(ReadFile(dir_ / "my voices/a 8.pcm"), "\x64\x80\x80\x82\x8c\x96\xa0\xaa");          // saved by "save"

  std::string help = Run({"--help"}).out;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    std::string name = line.substr(0, line.find(line.rfind("goto ", 0) == 0 ? " -> " : " "));
    EXPECT_TRUE(line.find(" -> ") == std::string::npos || help.find("  " + name + " ") != std::string::npos) << name;
  }
  for (const char* usage :
       {"record CH BITS SECONDS RATE", "info [--raw CH BITS] [--stats] FILE...",
        "convert [--raw CH BITS] [--alias TEXT]", "--to DIR --format mxv|wav|voc|pcm", "--trace", "--keep-going"})
    EXPECT_NE(help.find(usage), std::string::npos) << usage;
}

TEST_F(Cli, MistakesAreReportedByLineAndNothingRuns) {
  CliResult r = Run({"-e",
                     "dump first.out\nbank 13\n# a comment; bank 99\n\n   copy ; frobnicate\necho 280\n"
                     "amp lots; goto\nalias \"not closed\n"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "line 2: bank: N must be a bank from 1 to 12, not \"13\"\n"
            "line 5: unknown command \"frobnicate\"\n"
            "line 6: echo takes 2 arguments (DELAY_MS ATTEN_PERCENT), not 1\n"
            "line 7: amp: PERCENT must be a number, not \"lots\"\n"
            "line 7: goto needs one of: head, end, flg, mkl, mkr\n"
            "line 8: a quote is not closed\n");
  std::istringstream errors(Run({"-e",
                                 "dump first.out\nload-pcm 3 8 x\nload-pcm 1 12 x\ntranslate 2\nmix 1 2 3 13\n"
                                 "split 0 1\nmerge 1 x\ninsert-mute 1.5\nauto-mark 99999999999\nset-flg\nrate fast\n"
                                 "record 1 8 ten 8000\nstate now\ngoto head now\ndump\nsave x\namp 5%"})
                                .err);
  std::string seen;
  for (std::string line; std::getline(errors, line);) seen += line.substr(5, line.find(':') - 5) + " ";
  EXPECT_EQ(seen, "2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 ");
  EXPECT_FALSE(Exists("first.out"));
}

TEST_F(Cli, StopsAfterTheFirstMessageUnlessToldToKeepGoingAndTraces) {
  CliResult r = Run({"-e", "dump a.out; dump no/such/folder/x.raw; dump b.out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown(msg::CannotCreate("no/such/folder/x.raw")));
  EXPECT_TRUE(Exists("a.out"));
  EXPECT_FALSE(Exists("b.out"));
  r = Run({"--keep-going", "-e", "amp 0; echo 99 50; dump b.out"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown(msg::kAmplifierRange) + Shown(msg::kEchoDelay));
  EXPECT_TRUE(Exists("b.out"));
  EXPECT_EQ(Run({"--keep-going", "-e", "copy; bank 2"}).status, 0);  // false, but no message
  // --trace prints each command as written with its flag, the one that stopped the run included.
  r = Run({"--trace", "-e", "bank 2 ;  alias  \"two  words\" ;copy;amp 1000; state"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "bank 2 -> true\nalias  \"two  words\" -> true\ncopy -> false\namp 1000 -> false\n");
  EXPECT_EQ(r.err, Shown(msg::kAmplifierRange));
}

TEST_F(Cli, PlayAndRecordFindNoWaveDevice) {
  WriteFile(dir_ / "in.pcm", std::string(100, char(130)));
  CliResult r = Run({"--trace", "--keep-going", "-e",
                     "load-pcm 1 8 in.pcm; play-all; play-marked; play-flg; "
                     "record 2 16 1.5 22060; state"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            Shown(msg::kWaveOutOpen) + Shown(msg::kWaveOutOpen) + Shown(msg::kWaveOutOpen) + Shown(msg::kWaveInOpen));
  EXPECT_EQ(Lines(r.out, " -> "),
            "load-pcm 1 8 in.pcm -> true play-all -> false play-marked -> false "
            "play-flg -> false record 2 16 1.5 22060 -> false state -> true");
  // The failed recording left the voice as it was.
  EXPECT_EQ(Lines(r.out, " -> ", false).substr(0, 47), "bank=1 channels=1 bits=8 rate=8000 end=100 mkl=");
}

TEST_F(Cli, ReadsScriptFilesAndStandardInput) {
  WriteFile(dir_ / "in.pcm", "\x0a\x14\x1e\x28");
  std::string script = "# trim\n\nload-pcm 1 8 in.pcm\r\nset-mkl 2 ; set-mkr 3\ncut-unmark\n  # done\ndump out.raw\n";
  WriteFile(dir_ / "trim.mx", script);
  EXPECT_EQ(Run({"trim.mx"}).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "out.raw"), "\x14\x1e");
  EXPECT_EQ(Lines(Run({"--trace", "-"}, script).out, " -> "),
            "load-pcm 1 8 in.pcm -> true set-mkl 2 -> true set-mkr 3 -> true cut-unmark -> true dump out.raw -> true");
  for (const Words& args : {Words{"missing.mx"}, Words{}, Words{"--bogus", "-e", "state"}, Words{"-e", "state", "x"}})
    EXPECT_EQ(Run(args).status, 2);
  std::string version = Run({"--version"}).out;
  EXPECT_TRUE(version.rfind("melotrix-cli ", 0) == 0 && version.size() > 14) << version;
}

// Each run works in a folder of its own, removed at the end; the folders of
// killed runs go with the next run, those of live runs stay.
TEST_F(Cli, EachRunHasAPrivateSwapFolder) {
  std::string swap = System() + "/SYS_DATA", gone = swap + "/cli-2147483646-gone";
  std::string alive = swap + "/cli-" + std::to_string(getpid()) + "-alive";
  fs::create_directories(gone);
  fs::create_directories(alive);
  WriteFile(gone + "/SY$00000.001", "left over");
  WriteFile(dir_ / "in.pcm", std::string(5000, '\1'));
  Quiet("load-pcm 1 8 in.pcm; mute-marked; copy; bank 2; paste-insert");
  EXPECT_EQ(std::distance(fs::directory_iterator(swap), {}), 1);
  EXPECT_TRUE(fs::exists(alive));
  fs::remove_all(System());
  WriteFile(System(), "a file, not a folder");
  CliResult r = Run({"-e", "state"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(swap), std::string::npos) << r.err;
}

// 16-bit samples 0, 1000, -1000, 32767, -32768, 5, -5, 12345, -12345, 77.
const std::string kSamples("\0\0\xe8\x03\x18\xfc\xff\x7f\0\x80\x05\0\xfb\xff\x39\x30\xc7\xcf\x4d\0", 20);

TEST_F(Cli, InfoPrintsEachGoodFilesFormatAndEachBadFilesMessage) {
  ASSERT_EQ(std::system(("sox -q -r 11025 -n -c 2 -b 16 " + Quote(dir_ / "tone.wav") + " synth 123s sine 440").c_str()),
            0);
  WriteFile(dir_ / "stereo.PCM", kSamples);
  WriteFile(dir_ / "bad.wav", "this is no wave file at all, only text in it");
  Quiet("load-wav tone.wav; alias \"Two tone\"; save-mxv tone.mxv");
  CliResult r = Run({"info", "tone.wav", "bad.wav", "notes.txt", "tone.mxv", "missing.mxv", "stereo.PCM"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "tone.wav: channels=2 bits=16 rate=11025 end=123 alias=\n"
            "tone.mxv: channels=2 bits=16 rate=11025 end=123 alias=Two tone\n"
            "stereo.PCM: channels=1 bits=8 rate=8000 end=20 alias=\n");
  for (const std::string& part : {std::string("bad.wav: is not a sound file"),
                                  std::string("notes.txt: cannot be read: No such file or directory"),
                                  std::string("missing.mxv: cannot be read: No such file or directory")})
    EXPECT_NE(r.err.find(part), std::string::npos) << part << " in " << r.err;
  r = Run({"info", "--raw", "2", "16", "stereo.PCM"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err, "stereo.PCM: channels=2 bits=16 rate=8000 end=5 alias=\n");
}

// Every format converts to every other with the same samples; the rate
// survives except through raw PCM, which has none (8000 Hz on loading).
// --alias sets the alias; a failed load writes nothing; usage mistakes exit 2.
TEST_F(Cli, ConvertBetweenEveryPairOfFormats) {
  WriteFile(dir_ / "src.pcm", kSamples);
  Quiet("load-pcm 1 16 src.pcm; rate 11025; save-mxv a.mxv; save-wav a.wav; save-voc a.voc; save-pcm a.pcm");
  for (const std::string in : {"mxv", "wav", "voc", "pcm"}) {
    for (const std::string out : {"mxv", "wav", "voc", "pcm"}) {
      SCOPED_TRACE(in + " -> " + out);
      std::string target = "b-" + in + "." + out;
      CliResult r = Run({"convert", "--raw", "1", "16", "a." + in, target});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out + r.err, "");
      std::string rate = in == "pcm" || out == "pcm" ? "8000" : "11025";
      EXPECT_EQ(Run({"info", "--raw", "1", "16", target}).out,
                target + ": channels=1 bits=16 rate=" + rate + " end=10 alias=\n");
      Quiet((out == "pcm" ? "load-pcm 1 16 " : "load-" + out + " ") + target + "; dump frames.out");
      EXPECT_EQ(ReadFile(dir_ / "frames.out"), kSamples);
      // The same bytes as a save of the window (an MXV's keys follow the clock).
      if (out != "mxv" && (in != "pcm" || out == "pcm")) {
        EXPECT_EQ(ReadFile(dir_ / target), ReadFile(dir_ / ("a." + out)));
      }
    }
  }
  EXPECT_EQ(Run({"convert", "--alias", "A voice with a long name", "a.wav", "out.MXV"}).status, 0);
  EXPECT_EQ(Run({"info", "out.MXV"}).out, "out.MXV: channels=1 bits=16 rate=11025 end=10 alias=A voice with a long\n");
  CliResult r = Run({"convert", "missing.wav", "never.mxv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, Shown("missing.wav: cannot be read: No such file or directory"));
  EXPECT_FALSE(Exists("never.mxv"));
  for (const Words& args : {Words{"convert", "a.wav", "out.ogg"}, Words{"convert", "a.wav"},
                            Words{"convert", "--alias"}, Words{"info"}, Words{"info", "--raw", "3", "8", "x.pcm"}})
    EXPECT_EQ(Run(args).status, 2);
}

}  // namespace

TEST_F(Cli, SaveAsWithoutANameWritesNothingAndBankNumbersReadAsNumbers) {
  WriteFile(dir_ / "in.pcm", std::string(64, '\x40'));
  const std::string before = ReadFile(dir_ / "in.pcm");
  for (const char* save : {"save-mxv", "save-wav", "save-voc", "save-pcm"}) {
    CliResult r = Run({"--trace", "-e", "load-pcm 1 8 in.pcm; amp 150; " + std::string(save) + " \"\""});
    EXPECT_EQ(r.status, 1) << save;
    EXPECT_EQ(r.err, Shown(msg::CannotCreate(""))) << save;
    EXPECT_EQ(ReadFile(dir_ / "in.pcm"), before) << save;  // the voice's own file is untouched
  }
  CliResult r = Run({"--trace", "-e", "bank 02; alias two; bank 2; state"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out, " -> "), "bank 02 -> true alias two -> true bank 2 -> true state -> true");
  EXPECT_NE(r.out.find("bank=2"), std::string::npos);
  EXPECT_NE(r.out.find("two"), std::string::npos);
}
