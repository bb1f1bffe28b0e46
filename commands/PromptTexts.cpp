#include "commands/PromptTexts.h"

namespace {

struct PromptStart {
  const char* text;
  size_t limit;
};

// In the order of KPrompt.
constexpr PromptStart kStart[KPromptTexts::kPrompts] = {
    {"100    ", 7},  // Auto-Mark, hexadecimal
    {"1      ", 7},  // Auto-Mark, seconds
    {"100    ", 7},  // Insert mute, hexadecimal
    {"1      ", 7},  // Insert mute, seconds
    {"100", 3},      // Mathematical amplifier
    {"60", 2},       // Echo attenuation
    {"280 ", 4},     // Echo reflect delay
    {"-1.0", 6},     // Normalize, dBFS
    {"-45", 6},      // Mark sound threshold, dBFS
    {"10", 4},       // Mark sound margin, ms
};

}  // namespace

KPromptTexts::KPromptTexts() {
  for (size_t k = 0; k < kPrompts; ++k) texts_[k] = kStart[k].text;
}

void KPromptTexts::Remember(KPrompt prompt, const std::string& text) {
  texts_[size_t(prompt)] = text.substr(0, Limit(prompt));
}

size_t KPromptTexts::Limit(KPrompt prompt) { return kStart[size_t(prompt)].limit; }
