// How the window reads the texts of its prompts and controls. Every reading
// takes the longest number at the start of the text and ignores the rest;
// a text that starts with no number reads 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Blanks, an optional sign, an optional "0x", then hexadecimal digits up to
// the first other character. Held within the 32-bit range.
int32_t ReadHexCount(std::string_view text);

// A decimal real number after leading blanks: sign, digits, an optional
// fraction and exponent. `used` receives the characters read (0: no number).
double ScanReal(std::string_view text, size_t& used);
double ReadReal(std::string_view text);

// Truncates toward zero and holds the result within the 32-bit range.
int32_t TruncateToInt32(double value);

// A length typed in seconds, as frames of a voice at `rate`.
int32_t SecondsToFrames(double seconds, int32_t rate);

// The sample rate that a position of the rate scroll bar stands for:
// rounded down to a multiple of 25 and held within 2100..44100.
int32_t RateFromScrollPosition(int32_t position);
