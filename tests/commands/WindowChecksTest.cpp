#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "commands/PromptChecks.h"
#include "resources/StringTable.h"

namespace {

using Checks = CommandFixture;

TEST(PromptTexts, StartWithTheWindowsTextsAndKeepOnlyWhatTheEditLineHolds) {
  KPromptTexts texts;
  EXPECT_EQ(texts.Text(KPrompt::AutoMarkHex), "100    ");
  EXPECT_EQ(texts.Text(KPrompt::AutoMarkSec), "1      ");
  EXPECT_EQ(texts.Text(KPrompt::InsertMuteHex), "100    ");
  EXPECT_EQ(texts.Text(KPrompt::InsertMuteSec), "1      ");
  EXPECT_EQ(texts.Text(KPrompt::Amplifier), "100");
  EXPECT_EQ(texts.Text(KPrompt::EchoAttenuation), "60");
  EXPECT_EQ(texts.Text(KPrompt::EchoDelay), "280 ");
  texts.Remember(KPrompt::EchoDelay, "123456");
  EXPECT_EQ(texts.Text(KPrompt::EchoDelay), "1234");
  texts.Remember(KPrompt::InsertMuteSec, "0.123456789");
  EXPECT_EQ(texts.Text(KPrompt::InsertMuteSec), "0.12345");
}

TEST_F(Checks, LengthTextsReadInTheLocationUnitAndAreRememberedPerCommandAndUnit) {
  context_.Options.LocationHex = 1;
  EXPECT_EQ(LengthPromptFor(context_, KLengthCommand::AutoMark), KPrompt::AutoMarkHex);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "1F"), 31);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "zz"), 0);
  EXPECT_EQ(context_.Prompts.Text(KPrompt::AutoMarkHex), "1F");
  EXPECT_EQ(context_.Prompts.Text(KPrompt::InsertMuteHex), "zz");

  context_.Options.LocationHex = 0;
  EXPECT_EQ(LengthPromptFor(context_, KLengthCommand::InsertMute), KPrompt::InsertMuteSec);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "0.5"), 8000);
  Current().SampleRate = 8000;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "0.01"), 80);
  EXPECT_EQ(context_.Prompts.Text(KPrompt::InsertMuteSec), "0.5");
  EXPECT_EQ(context_.Prompts.Text(KPrompt::AutoMarkSec), "0.01");
  EXPECT_EQ(context_.Prompts.Text(KPrompt::AutoMarkHex), "1F");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Checks, AmplifierOutsideOneTo999ShowsError013AndKeepsTheRememberedText) {
  for (const char* text : {"0", "", "1000", "0.99", "abc", "-5"}) {
    SCOPED_TRACE(text);
    messages_.clear();
    EXPECT_FALSE(Run("MenuMathAmpClick", Texts(text)));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], KLoadMessageText(msg::kAmplifierRange));
    EXPECT_EQ(context_.Prompts.Text(KPrompt::Amplifier), "100");
  }
  EXPECT_TRUE(host_.Log.empty());  // refused before the bracket
  for (const char* text : {"1", "999", "1.5"}) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(CheckAmplifier(context_, Texts(text)));
    EXPECT_EQ(context_.Prompts.Text(KPrompt::Amplifier), text);
  }
}

TEST_F(Checks, EchoChecksAttenuationThenDelayAndRemembersWhatPassed) {
  EXPECT_FALSE(Run("MenuEchoClick", Texts("50", "99")));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kEchoDelay));
  EXPECT_EQ(context_.Prompts.Text(KPrompt::EchoAttenuation), "50");
  EXPECT_EQ(context_.Prompts.Text(KPrompt::EchoDelay), "280 ");

  messages_.clear();
  EXPECT_FALSE(Run("MenuEchoClick", Texts("0", "99")));  // the attenuation is checked first
  EXPECT_FALSE(Run("MenuEchoClick", Texts("100", "280")));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kEchoAttenuation));
  EXPECT_EQ(messages_[1], KLoadMessageText(msg::kEchoAttenuation));
  EXPECT_EQ(context_.Prompts.Text(KPrompt::EchoAttenuation), "50");

  messages_.clear();
  EXPECT_FALSE(Run("MenuEchoClick", Texts("10", "2001")));
  EXPECT_TRUE(CheckEcho(context_, Texts("99", "2000")));
  EXPECT_TRUE(CheckEcho(context_, Texts("1", "100")));
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(context_.Prompts.Text(KPrompt::EchoAttenuation), "1");
  EXPECT_EQ(context_.Prompts.Text(KPrompt::EchoDelay), "100");
  EXPECT_TRUE(host_.Log.empty());
}

TEST_F(Checks, SplitOfAMonoVoiceShowsError016BeforeAnyDialog) {
  FillMono8(Current(), {1, 2, 3});
  EXPECT_FALSE(CheckSplit(context_, {}));
  EXPECT_FALSE(Run("MenuSpiltChannelClick"));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1], KLoadMessageText(msg::kSplitNotStereo));
  EXPECT_TRUE(host_.Log.empty());
  Fill(Current(), 2, 8, {1, 2, 3, 4});
  EXPECT_TRUE(CheckSplit(context_, {}));
  EXPECT_EQ(messages_.size(), 2u);
}

}  // namespace
