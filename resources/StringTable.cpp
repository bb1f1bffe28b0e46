#include "resources/StringTable.h"

#include <initializer_list>

namespace {

struct Entry {
  int id;
  const char* text;
};

constexpr Entry kTable[] = {
    {msg::kWarnCopyFirst, "Warn 001 \n\nYou must run the Copy instruction \nAnd then to do Paste !!!"},
    {msg::kNotValidFile, "Error 001 \n\nThe file : %s \nis not a valid %s file !!!"},
    {msg::kAlreadyInBank,
     "Error 002 \n\nThe file : %s \nWas exist already on Melotrix BankID = %d\nSystem can not reload it !!!"},
    {msg::kNoDataChunk,
     "Error 003 \n\nThe file : %s \nCan not find the data-chunk \nIt's format is not RIFF-WAV \nSystem can not load it "
     "!!!"},
    {msg::kCompressedWav, "Error 004 \n\nThe file : %s \nIt is a compressed WAV format \nSystem can not load it !!!"},
    {msg::kCannotCreate, "Error 005 \n\nThe file : %s \nSystem can not create it !!!"},
    {msg::kWaveOutOpen,
     "Error 006 \n\nWin32 API : waveOutOpen( ) \nCan not open the wave-out device \nMay be the device is used by "
     "another program \nOr the device is not exist !!!"},
    {msg::kWaveOutPrepare,
     "Error 007 \n\nWin32 API : waveOutPrepareHeader( ) \nCan not lock memory for wave-out device \nMay be RAM or "
     "storage device not enough !!!"},
    {msg::kWaveOutWrite,
     "Error 008 \n\nWin32 API : waveOutWrite( ) \nCan not push the locked memory into \nthe queue of Windows-MMSystem "
     "!!!"},
    {msg::kWaveInOpen,
     "Error 009 \n\nWin32 API : waveInOpen( ) \nCan not open the wave-in device \nMay be the device is used by another "
     "program \nOr the device is not exist !!!"},
    {msg::kWaveInPrepare,
     "Error 010 \n\nWin32 API : waveInPrepareHeader( ) \nCan not lock memory for wave-in device \nMay be RAM or "
     "storage device not enough !!!"},
    {msg::kWaveInAddBuffer,
     "Error 011 \n\nWin32 API : waveInAddBuffer( ) \nCan not push the locked memory into \nthe queue of "
     "Windows-MMSystem !!!"},
    {msg::kWaveInStart, "Error 012 \n\nWin32 API : waveInStart( ) \nCan not record the voice !!!"},
    {msg::kAmplifierRange,
     "Error 013 \n\nInvalid number assinged. \nThe percentage of mathematical amplifier \nmust be from 1 to 999"},
    {msg::kEchoAttenuation,
     "Error 014 \n\nInvalid number assinged. \nThe Attenuation-Rate of echo \nmust be from 1 to 99"},
    {msg::kEchoDelay, "Error 015 \n\nInvalid number assinged. \nThe Reflect-Delay of echo \nmust be from 100 to 2000"},
    {msg::kSplitNotStereo,
     "Error 016 \n\nThe current voice is not multi-channels. \nSo you can not to do the Split process !!!"},
    {msg::kMergeStereoSource,
     "Error 017 \n\nWhen to do the Merge process \nBe sure that the format of both source Bank \nmust only 1 channel "
     "!!!"},
    {msg::kMergeWidths,
     "Error 018 \n\nWhen to do the Merge process \nBe sure that the format of both source Bank \nmust same "
     "BitPerSample !!!"},
    {msg::kSwapFolder,
     "Swap file error \n\nThe swap folder : %s \ncan not hold the samples (%s) \nNothing was changed !!!"},
    {msg::kTooLong, "Length error \n\nThe result of %s would pass 2147483647 bytes \nNothing was changed !!!"},
    {msg::kVocBlockType,
     "VOC error \n\nThe file : %s \nbegins with a block of type %d \nSystem can only load the block types 1 and 9 !!!"},
    {msg::kVocPacking,
     "VOC error \n\nThe file : %s \nholds compressed samples (packing %d) \nSystem can not load it !!!"},
    {msg::kVocTooLong,
     "VOC error \n\nThe file : %s \nThe voice is too long for one VOC block \nSystem can not save it !!!"},
    {msg::kNegativeInsert, "Insert mute \n\nThe length of the mute must not be negative \nNothing was changed !!!"},
    {msg::kAutoMarkLength, "Auto-Mark \n\nThe length for Auto-Mark must be 1 or more \nNothing was changed !!!"},
    {msg::kSplitSameBank,
     "Split channel \n\nBoth channels can not be split into the same Bank \nNothing was changed !!!"},
    {msg::kNormalizeLevel,
     "Normalize \n\nInvalid number assigned. \nThe peak level must be a number of dBFS \nfrom 0 down (like -1.0)"},
    {msg::kNormalizeSilent, "Normalize \n\nThe marked area is silent \nNothing was changed !!!"},
    {msg::kSoundThreshold,
     "Mark sound \n\nInvalid number assigned. \nThe threshold must be a number of dBFS \nfrom 0 down (like -45)"},
    {msg::kSoundMargin,
     "Mark sound \n\nInvalid number assigned. \nThe margin must be a number of milliseconds \nfrom 0 up (like 10)"},
    {msg::kNoSound, "Mark sound \n\nNo frame of the voice is louder than the threshold \nNothing was changed !!!"},
};

}  // namespace

const char* KLoadMessageText(int id) {
  for (const Entry& e : kTable)
    if (e.id == id) return e.text;
  return "";
}

namespace {

// One argument of a table text: a text for %s or a number for %d.
struct Arg {
  Arg(std::string_view text) : Text(text) {}
  Arg(int number) : Number(number), IsNumber(true) {}
  std::string_view Text;
  int Number = 0;
  bool IsNumber = false;
};

// The text of `id` with its %s and %d filled in order. Arguments are never
// read as formats, so a path holding '%' comes out as it is.
std::string Fill(int id, std::initializer_list<Arg> args) {
  std::string_view format = KLoadMessageText(id);
  std::string text;
  auto next = args.begin();
  for (size_t at = 0; at < format.size(); ++at) {
    const bool directive = format[at] == '%' && at + 1 < format.size() && next != args.end() &&
                           (format[at + 1] == 's' || format[at + 1] == 'd');
    if (!directive) {
      text += format[at];
      continue;
    }
    text += next->IsNumber ? std::to_string(next->Number) : std::string(next->Text);
    ++next;
    ++at;
  }
  return text;
}

}  // namespace

namespace msg {
std::string NotValidFile(std::string_view path, std::string_view format) { return Fill(kNotValidFile, {path, format}); }
std::string AlreadyInBank(std::string_view path, int bank) { return Fill(kAlreadyInBank, {path, bank}); }
std::string NoDataChunk(std::string_view path) { return Fill(kNoDataChunk, {path}); }
std::string CompressedWav(std::string_view path) { return Fill(kCompressedWav, {path}); }
std::string CannotCreate(std::string_view path) { return Fill(kCannotCreate, {path}); }
std::string SwapFolder(std::string_view folder, std::string_view reason) { return Fill(kSwapFolder, {folder, reason}); }
std::string TooLong(std::string_view operation) { return Fill(kTooLong, {operation}); }
std::string VocBlockType(std::string_view path, int type) { return Fill(kVocBlockType, {path, type}); }
std::string VocPacking(std::string_view path, int packing) { return Fill(kVocPacking, {path, packing}); }
std::string VocTooLong(std::string_view path) { return Fill(kVocTooLong, {path}); }
}  // namespace msg
