// The texts the numeric prompts open with: each prompt shows the text last
// accepted for it. They last for the run and are never stored.
#pragma once

#include <array>
#include <cstddef>
#include <string>

enum class KPrompt {
  AutoMarkHex,
  AutoMarkSec,
  InsertMuteHex,
  InsertMuteSec,
  Amplifier,
  EchoAttenuation,
  EchoDelay,
  Normalize,
  SoundThreshold,
  SoundMargin,
};

class KPromptTexts {
 public:
  static constexpr size_t kPrompts = 10;

  KPromptTexts();

  const std::string& Text(KPrompt prompt) const { return texts_[size_t(prompt)]; }
  // Keeps an accepted text, cut to what the prompt's edit line can hold.
  void Remember(KPrompt prompt, const std::string& text);
  // The number of characters the prompt's edit line takes.
  static size_t Limit(KPrompt prompt);

 private:
  std::array<std::string, kPrompts> texts_;
};
