#include "CliFixture.h"

namespace {

class Edit : public CliFixture {
 protected:
  // A raw mono 8-bit file; loading it marks the whole voice.
  std::string Pcm8(const std::string& name, const std::vector<uint8_t>& raw) {
    WriteFile(dir_ / name, Bytes8(raw));
    return "load-pcm 1 8 " + name;
  }
  std::string Pcm16(const std::string& name, const std::vector<int16_t>& samples) {
    WriteFile(dir_ / name, Bytes16(samples));
    return "load-pcm 1 16 " + name;
  }
  // The record `state` prints after `script` holds these keys and values.
  void ExpectState(const std::string& script, const std::map<std::string, std::string>& expected) {
    std::map<std::string, std::string> state = State(Quiet(script + "; state"));
    for (const auto& [key, value] : expected) EXPECT_EQ(state[key], value) << key << " after " << script;
  }
  // Runs a script whose last command must show exactly `message`.
  void Refused(const std::string& script, const std::string& message) {
    CliResult r = cli_.Script(script);
    EXPECT_EQ(r.status, 1) << script;
    EXPECT_EQ(r.err, message + "\n\n") << script;
  }
};

TEST_F(Edit, TrimToTheMarkedAreaAndUndo) {
  std::string load = Pcm8("a.pcm", {10, 20, 30, 40, 50, 60, 70, 80});
  EXPECT_EQ(Frames(load + "; set-mkl 3; set-mkr 5; cut-unmark"), Bytes8({30, 40, 50}));
  ExpectState(load + "; set-mkl 3; set-mkr 5; cut-unmark",
              {{"end", "3"}, {"mkl", "1"}, {"mkr", "3"}, {"undo", "Undo : Cut unmark area"}, {"undo_depth", "1"}});
  EXPECT_EQ(Frames(load + "; set-mkl 3; set-mkr 5; cut-unmark; undo"), Bytes8({10, 20, 30, 40, 50, 60, 70, 80}));
  EXPECT_EQ(Frames(load + "; set-mkl 3; set-mkr 5; cut-marked"), Bytes8({10, 20, 60, 70, 80}));
}

TEST_F(Edit, ZoomInClicksClampAndExchangeTheMarkers) {
  std::string load = Pcm8("a.pcm", std::vector<uint8_t>(12, 128));
  ExpectState(load + "; set-mkr 4; set-mkl 7; set-flg 99", {{"mkl", "4"}, {"mkr", "7"}, {"flg", "12"}});
  ExpectState(load + "; set-mkl -5; set-mkr 0; set-flg 0", {{"mkl", "1"}, {"mkr", "1"}, {"flg", "1"}});
  ExpectState("set-mkl 5; set-flg 3", {{"mkl", "0"}, {"flg", "0"}});
}

TEST_F(Edit, MarkMenuAutoMarkAndGoto) {
  std::string load = Pcm8("a.pcm", std::vector<uint8_t>(1000, 128));
  ExpectState(load + "; set-flg 100; auto-mark 256; goto end", {{"mkl", "100"}, {"mkr", "355"}, {"zistart", "968"}});
  ExpectState(load + "; set-flg 900; auto-mark 256; goto mkl; reset-flg",
              {{"mkr", "1000"}, {"zistart", "868"}, {"flg", "1"}});
  ExpectState(load + "; set-mkl 50; set-mkr 60; goto mkr; goto flg", {{"zistart", "1"}});
  ExpectState(load + "; set-mkl 50; set-mkr 60; goto mkr", {{"zistart", "28"}});
  ExpectState(load + "; set-mkl 50; set-mkr 60; reset-mkl; reset-mkr", {{"mkl", "1"}, {"mkr", "1000"}});
  ExpectState(load + "; set-mkl 50; set-mkr 60; mark-all; goto end; goto head", {{"mkl", "1"}, {"zistart", "1"}});
  Refused(load + "; auto-mark 0", KLoadMessageText(msg::kAutoMarkLength));
}

TEST_F(Edit, CopyInOneBankPasteInAnotherByEachMode) {
  std::string setup = Pcm8("a.pcm", {10, 20, 30, 40}) + "; set-mkl 2; set-mkr 3; copy; bank 2; " +
                      Pcm8("b.pcm", {200, 200, 200, 200}) + "; set-flg 2; ";
  EXPECT_EQ(Frames(setup + "paste-insert"), Bytes8({200, 200, 20, 30, 200, 200}));
  EXPECT_EQ(Frames(setup + "paste-cover"), Bytes8({200, 20, 30}));  // the frames after the block leave
  EXPECT_EQ(Frames(setup + "paste-mix"), Bytes8({200, 92, 102, 200}));
  EXPECT_EQ(Frames(setup + "paste-insert; undo"), Bytes8({200, 200, 200, 200}));
  ExpectState(setup + "paste-insert", {{"bank", "2"}, {"mkl", "2"}, {"mkr", "3"}, {"undo", "Undo : Paste by insert"}});
  Refused("paste-insert", KLoadMessageText(msg::kWarnCopyFirst));
}

TEST_F(Edit, MuteFadeSetEndAndInsertMute) {
  std::string load = Pcm8("a.pcm", {100, 110, 120, 130, 140, 150, 160, 170});
  EXPECT_EQ(Frames(load + "; set-mkl 2; set-mkr 3; mute-marked"), Bytes8({100, 128, 128, 130, 140, 150, 160, 170}));
  EXPECT_EQ(Frames(load + "; set-mkl 2; set-mkr 7; mute-unmark"), Bytes8({128, 110, 120, 130, 140, 150, 160, 128}));
  EXPECT_EQ(Frames(load + "; set-mkl 5; set-mkr 6; fade-out"), Bytes8({100, 110, 120, 130, 140, 128, 160, 170}));
  EXPECT_EQ(Frames(load + "; set-flg 4; set-end"), Bytes8({100, 110, 120, 130}));
  EXPECT_EQ(Frames(load + "; set-flg 2; insert-mute 3"),
            Bytes8({100, 110, 128, 128, 128, 120, 130, 140, 150, 160, 170}));
  ExpectState(load + "; set-flg 2; insert-mute 3", {{"mkl", "2"}, {"mkr", "4"}, {"undo", "Undo : Insert mute"}});
  Refused(load + "; insert-mute -1", KLoadMessageText(msg::kNegativeInsert));

  std::string fade = Pcm8("f.pcm", std::vector<uint8_t>(20, 228));  // value 100
  std::string faded = Frames(fade + "; set-mkl 1; set-mkr 17; fade-in");
  ASSERT_EQ(faded.size(), 20u);
  EXPECT_EQ(uint8_t(faded[0]), 128);
  EXPECT_EQ(uint8_t(faded[16]), 128 + 100 * 16 / 17);
  EXPECT_EQ(Frames(fade + "; set-mkl 1; set-mkr 16; fade-in"), ReadFile(dir_ / "f.pcm"));
}

TEST_F(Edit, AmplifierTakesTheRealPercentageUnrounded) {
  std::string load = Pcm16("a.pcm", std::vector<int16_t>(12, 1000));
  EXPECT_EQ(Frames(load + "; amp 150.5"), Bytes16(std::vector<int16_t>(12, 1505)));
  EXPECT_EQ(Frames(load + "; amp 999"), Bytes16(std::vector<int16_t>(12, 9990)));
  EXPECT_EQ(Frames(load + "; set-mkr 10; amp 200"), ReadFile(dir_ / "a.pcm"));  // MKR - MKL = 9: nothing
  Refused(load + "; amp 999.5", KLoadMessageText(msg::kAmplifierRange));
}

TEST_F(Edit, EchoLengthensTheVoiceByItsEchoes) {
  std::string load = Pcm16("a.pcm", std::vector<int16_t>(1000, 100));
  ExpectState(load + "; rate 8000; echo 100 10",  // one echo of 800 frames
              {{"end", "1800"}, {"mkr", "1800"}, {"undo", "Undo : Echo"}});
  EXPECT_EQ(Frames(load + "; echo 280 5"), ReadFile(dir_ / "a.pcm"));
  Refused(load + "; echo 99 50", KLoadMessageText(msg::kEchoDelay));
  Refused(load + "; echo 280 0", KLoadMessageText(msg::kEchoAttenuation));
}

TEST_F(Edit, MixerSplitMergeAndTranslate) {
  std::string banks = "bank 2; " + Pcm16("two.pcm", std::vector<int16_t>(100, 300)) + "; bank 3; " +
                      Pcm16("three.pcm", std::vector<int16_t>(50, 20)) + "; rate 22050; bank 4; ";
  ExpectState(banks + "mix 2 3 0 0", {{"end", "100"}, {"rate", "22050"}});
  std::vector<int16_t> mixed(100, 300);
  for (int k = 0; k < 50; ++k) mixed[size_t(k)] = 320;
  EXPECT_EQ(Frames(banks + "mix 2 3 0 0"), Bytes16(mixed));
  EXPECT_EQ(Frames(banks + "mix 0 0 0 0"), "");

  WriteFile(dir_ / "st.pcm", Bytes16({1, -1, 2, -2, 3, -3, 4, -4}));
  std::string stereo = "load-pcm 2 16 st.pcm; ";
  EXPECT_EQ(Frames(stereo + "split 5 6; bank 6"), Bytes16({-1, -2, -3, -4}));
  EXPECT_EQ(Frames(stereo + "split 5 6; bank 7; merge 5 6"), ReadFile(dir_ / "st.pcm"));
  EXPECT_EQ(Frames(stereo + "translate 1 16"), Bytes16({0, 0, 0, 0}));
  EXPECT_EQ(Frames(Pcm8("m.pcm", {0, 128, 255, 129}) + "; translate 1 16"), Bytes16({-32768, 0, 32512, 256}));
  Refused("split 5 6", KLoadMessageText(msg::kSplitNotStereo));
  Refused(stereo + "split 5 5", KLoadMessageText(msg::kSplitSameBank));
  Refused(stereo + "bank 2; merge 1 2", KLoadMessageText(msg::kMergeStereoSource));
}

TEST_F(Edit, SaveWritesTheOwnFileAndClearingRestoresTheStart) {
  std::string load = Pcm8("own.pcm", {100, 110, 120, 130});
  Quiet(load + "; set-mkl 1; set-mkr 2; mute-marked; save");
  EXPECT_EQ(ReadFile(dir_ / "own.pcm"), Bytes8({128, 128, 120, 130}));
  ExpectState(load + "; alias Mine; rate 16013", {{"rate", "16000"}, {"alias", "Mine"}, {"filetype", "1"}});
  ExpectState(load + "; alias Mine; rate 16013; clear-bank",
              {{"end", "0"}, {"rate", "16000"}, {"alias", "Alias Name"}, {"filetype", "5"}});
  ExpectState(load + "; bank 12; " + Pcm8("b.pcm", {1, 2, 3, 4}) + "; clear-all; bank 1", {{"end", "0"}, {"bank", "1"}});
}

TEST_F(Edit, UndoKeepsTheNewestFourEdits) {
  std::string load = Pcm8("a.pcm", std::vector<uint8_t>(40, 200));
  std::string script = load + "; set-mkl 1; set-mkr 20; mute-marked; fade-out; amp 50; mute-unmark; cut-marked";
  ExpectState(script, {{"undo_depth", "4"}, {"undo", "Undo : Cut marked area"}});
  ExpectState(script + "; undo; undo; undo; undo", {{"undo_depth", "0"}, {"undo", "Undo"}});
  EXPECT_EQ(Frames(script + "; undo; undo; undo; undo"), Frames(load + "; set-mkl 1; set-mkr 20; mute-marked"));
  CliResult r = cli_.Run({"--trace", "-e", "undo"});
  EXPECT_EQ(r.out, "undo -> false\n");
  EXPECT_EQ(r.status, 0);
}

}  // namespace
