// The message texts the system shows, by string id. Ids 0x4001 and
// 0x5001..0x5012 are the numbered warnings and errors; 0x6001 and up are
// Melotrix's own messages for failures the numbered texts do not cover.
// Texts holding %s / %d are filled by the typed functions below, one per
// text, so that every argument is checked by the compiler.
#pragma once

#include <string>
#include <string_view>

namespace msg {
enum : int {
  kWarnCopyFirst = 0x4001,      // Warn 001
  kNotValidFile = 0x5001,       // Error 001 (path, format name)
  kAlreadyInBank = 0x5002,      // Error 002 (path, bank)
  kNoDataChunk = 0x5003,        // Error 003 (path)
  kCompressedWav = 0x5004,      // Error 004 (path)
  kCannotCreate = 0x5005,       // Error 005 (path)
  kWaveOutOpen = 0x5006,        // Error 006
  kWaveOutPrepare = 0x5007,     // Error 007
  kWaveOutWrite = 0x5008,       // Error 008
  kWaveInOpen = 0x5009,         // Error 009
  kWaveInPrepare = 0x500A,      // Error 010
  kWaveInAddBuffer = 0x500B,    // Error 011
  kWaveInStart = 0x500C,        // Error 012
  kAmplifierRange = 0x500D,     // Error 013
  kEchoAttenuation = 0x500E,    // Error 014
  kEchoDelay = 0x500F,          // Error 015
  kSplitNotStereo = 0x5010,     // Error 016
  kMergeStereoSource = 0x5011,  // Error 017
  kMergeWidths = 0x5012,        // Error 018
  kSwapFolder = 0x6001,         // (swap folder, reason)
  kTooLong = 0x6002,            // (operation)
  kVocBlockType = 0x6003,       // (path, block type)
  kVocPacking = 0x6004,         // (path, packing)
  kVocTooLong = 0x6005,         // (path)
  kNegativeInsert = 0x6006,
  kAutoMarkLength = 0x6007,
  kSplitSameBank = 0x6008,
  kNormalizeLevel = 0x6010,
  kNormalizeSilent = 0x6011,
  kSoundThreshold = 0x6012,
  kSoundMargin = 0x6013,
  kNoSound = 0x6014,
};
}  // namespace msg

// The text of a string id, or an empty text for an unknown id.
const char* KLoadMessageText(int id);

namespace msg {
std::string NotValidFile(std::string_view path, std::string_view format);
std::string AlreadyInBank(std::string_view path, int bank);
std::string NoDataChunk(std::string_view path);
std::string CompressedWav(std::string_view path);
std::string CannotCreate(std::string_view path);
std::string SwapFolder(std::string_view folder, std::string_view reason);
std::string TooLong(std::string_view operation);
std::string VocBlockType(std::string_view path, int type);
std::string VocPacking(std::string_view path, int packing);
std::string VocTooLong(std::string_view path);
}  // namespace msg
