#include "commands/PromptChecks.h"

#include "commands/TextReading.h"
#include "resources/StringTable.h"

namespace {

// False after showing `message` when `value` lies outside low..high.
bool InRange(KCommandContext& context, double value, double low, double high, int message) {
  if (value >= low && value <= high) return true;
  context.Voice().ShowMessageId(message);
  return false;
}

}  // namespace

KPrompt LengthPromptFor(const KCommandContext& context, KLengthCommand command) {
  bool hex = context.Options.LocationHex != 0;
  if (command == KLengthCommand::AutoMark) return hex ? KPrompt::AutoMarkHex : KPrompt::AutoMarkSec;
  return hex ? KPrompt::InsertMuteHex : KPrompt::InsertMuteSec;
}

int32_t AcceptLengthText(KCommandContext& context, KLengthCommand command, const std::string& text) {
  int32_t frames = context.Options.LocationHex != 0 ? ReadHexCount(text)
                                                    : SecondsToFrames(ReadReal(text), context.Voice().SampleRate);
  context.Prompts.Remember(LengthPromptFor(context, command), text);
  return frames;
}

bool CheckAmplifier(KCommandContext& context, const KCommandInput& input) {
  if (!InRange(context, ReadReal(input.AmplifierPercent), 1, 999, msg::kAmplifierRange)) return false;
  context.Prompts.Remember(KPrompt::Amplifier, input.AmplifierPercent);
  return true;
}

bool CheckEcho(KCommandContext& context, const KCommandInput& input) {
  if (!InRange(context, ReadReal(input.EchoAttenuation), 1, 99, msg::kEchoAttenuation)) return false;
  context.Prompts.Remember(KPrompt::EchoAttenuation, input.EchoAttenuation);
  if (!InRange(context, ReadReal(input.EchoDelay), 100, 2000, msg::kEchoDelay)) return false;
  context.Prompts.Remember(KPrompt::EchoDelay, input.EchoDelay);
  return true;
}

bool CheckSplit(KCommandContext& context, const KCommandInput&) {
  return InRange(context, context.Voice().Channels, 2, 2, msg::kSplitNotStereo);
}
