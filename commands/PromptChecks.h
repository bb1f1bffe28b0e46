// The window's own readings and checks of what its prompts gathered, before
// it calls an operation of the current voice.
#pragma once

#include <cstdint>
#include <string>

#include "commands/CommandContext.h"

enum class KLengthCommand { AutoMark, InsertMute };

// The prompt (and so the remembered text) of a length command in the
// current location unit: hexadecimal counts or seconds.
KPrompt LengthPromptFor(const KCommandContext& context, KLengthCommand command);

// Reads an accepted length text in the current unit as sample frames of the
// current voice and remembers the text for that command and unit.
int32_t AcceptLengthText(KCommandContext& context, KLengthCommand command, const std::string& text);

// The amplifier's percentage must lie in 1..999: otherwise Error 013
// and the remembered text stays; else the text is remembered.
bool CheckAmplifier(KCommandContext& context, const KCommandInput& input);

// The echo's attenuation in 1..99, else Error 014; it is remembered;
// then the reflect delay in 100..2000, else Error 015; it is remembered.
bool CheckEcho(KCommandContext& context, const KCommandInput& input);

// Normalise's level must be a number of at most 0 dBFS, else a message;
// then it is remembered.
bool CheckNormalize(KCommandContext& context, const KCommandInput& input);

// Mark-sound's threshold a number of at most 0 dBFS, else a message; it is
// remembered; then its margin a number of at least 0 ms, else a message; it
// is remembered.
bool CheckMarkSound(KCommandContext& context, const KCommandInput& input);

// Split needs a stereo voice, else Error 016. It reads no input, so the
// window runs it before it opens the split dialog.
bool CheckSplit(KCommandContext& context, const KCommandInput& input);
