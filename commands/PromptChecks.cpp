#include "commands/PromptChecks.h"

#include <cmath>

#include "commands/TextReading.h"
#include "resources/StringTable.h"

namespace {

// False after showing `message` when `value` lies outside low..high.
bool InRange(KCommandContext& context, double value, double low, double high, int message) {
  if (value >= low && value <= high) return true;
  context.Voice().ShowMessageId(message);
  return false;
}

// False after showing `message` when `text` does not start with a number
// or the number lies outside low..high.
bool NumberInRange(KCommandContext& context, const std::string& text, double low, double high, int message) {
  size_t used = 0;
  const double value = ScanReal(text, used);
  return InRange(context, used > 0 ? value : NAN, low, high, message);
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

bool CheckNormalize(KCommandContext& context, const KCommandInput& input) {
  if (!NumberInRange(context, input.NormalizeLevel, -HUGE_VAL, 0, msg::kNormalizeLevel)) return false;
  context.Prompts.Remember(KPrompt::Normalize, input.NormalizeLevel);
  return true;
}

bool CheckMarkSound(KCommandContext& context, const KCommandInput& input) {
  if (!NumberInRange(context, input.SoundThreshold, -HUGE_VAL, 0, msg::kSoundThreshold)) return false;
  context.Prompts.Remember(KPrompt::SoundThreshold, input.SoundThreshold);
  if (!NumberInRange(context, input.SoundMargin, 0, HUGE_VAL, msg::kSoundMargin)) return false;
  context.Prompts.Remember(KPrompt::SoundMargin, input.SoundMargin);
  return true;
}

bool CheckSplit(KCommandContext& context, const KCommandInput&) {
  return InRange(context, context.Voice().Channels, 2, 2, msg::kSplitNotStereo);
}
