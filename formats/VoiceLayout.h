// KVoiceFormat: channels, width and rate of a voice. KVoiceLayout: what a
// checked voice file says about its voice and where its samples lie.
// KFileKind: the names a format shows in messages and progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/MxvKeyStream.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"
#include "resources/StringTable.h"

struct KFileKind {
  const char* Name;       // in "is not a valid %s file"
  const char* LoadTitle;  // progress titles
  const char* SaveTitle;

  // The refusal of a file at `path` that is not one of this format.
  KStatus NotValid(const std::string& path) const { return KStatus::Failure(msg::NotValidFile(path, Name)); }
};

// The first N bytes of `file` into `head`; false when it is not open or shorter.
template <size_t N>
bool ReadHead(const KPlainFile& file, uint8_t (&head)[N]) {
  return file.IsOpen() && file.Size() >= int64_t(N) && file.ReadAt(0, head, N);
}

// The sample format a header describes.
struct KVoiceFormat {
  int32_t Channels = 1;
  int32_t BitsPerSample = 8;
  int32_t SampleRate = 0;
  int32_t FrameBytes() const { return Channels * (BitsPerSample / 8); }
};

struct KVoiceLayout {
  int32_t Channels = 1;
  int32_t BitsPerSample = 8;
  int32_t SampleRate = 0;  // as the file gives it; the loader rounds it down to 25
  int64_t DataOffset = 0;
  int32_t DataBytes = 0;  // what goes into the store
  std::string Alias;
  bool Scrambled = false;  // MXV: the data runs through `Keys`
  KMxvKeyStream Keys;

  int32_t Frames() const { return DataBytes / (Channels * (BitsPerSample / 8)); }
  // True when the sample data announced really lies in a file of `size`.
  bool DataWithin(int64_t size) const { return DataOffset >= 0 && DataOffset + DataBytes <= size; }
};

// True for the formats a voice can hold.
inline bool KnownFormat(int64_t channels, int64_t bits) {
  return (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
}
