// The table of voice file formats: what a voice's FileType names, which
// extension the format's files carry, the sample format of a raw file, and
// the load and save calls. Everything that dispatches on a format reads it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/VoiceLayout.h"

class KPcmFiles;

// The numbers are those of the voice record: raw PCM 1..4, MXV 5 (also a
// new or cleared voice), WAV 6, VOC 7.
enum class KFileType : int32_t {
  RawMono8 = 1,
  RawMono16 = 2,
  RawStereo8 = 3,
  RawStereo16 = 4,
  Mxv = 5,
  Wav = 6,
  Voc = 7,
};

struct KFileFormat {
  KFileType Type;
  const KFileKind* Kind;  // the names in messages and progress titles
  const char* Extension;  // without the dot, lower case
  // The sample format of a raw file; 0 for the formats with a header.
  int32_t RawChannels;
  int32_t RawBits;
  bool (*Load)(KPcmFiles& voice, const std::string& path);
  bool (*Save)(KPcmFiles& voice, const std::string& path);

  bool Raw() const { return RawChannels != 0; }
};

std::span<const KFileFormat> FileFormats();
// The row of a file type, or null for a number that names none.
const KFileFormat* FindFileFormat(KFileType type);
// The raw file type of a sample format (anything but mono 8, mono 16 and
// stereo 8 is stereo 16, as the voice record counts it).
KFileType RawFileType(int32_t channels, int32_t bits);
// The first row whose files carry `extension` (any case), or null.
const KFileFormat* FileFormatByExtension(std::string_view extension);
