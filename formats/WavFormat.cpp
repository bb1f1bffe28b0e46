#include "formats/WavFormat.h"

#include <algorithm>

#include "platform/LittleEndian.h"
#include "resources/StringTable.h"

namespace {

constexpr int kFixedBytes = 36;  // up to the end of a 16-byte "fmt " chunk
constexpr int kChunkHeader = 8;

enum class Search { Found, Missing, TooLarge };

// Looks for the "data" chunk header at `at`, else after the one chunk found
// there. An odd-sized chunk is normally followed by a pad byte, so both the
// padded and the unpadded position are tried. `dataAt` gets where the
// header lies.
Search FindData(const KPlainFile& file, int64_t at, uint8_t* chunk, int64_t& dataAt) {
  if (!file.ReadAt(at, chunk, kChunkHeader)) return Search::Missing;
  dataAt = at;
  if (SameBytes(chunk, "data", 4)) return Search::Found;
  uint32_t size = GetLe(chunk + 4, 4);
  if (size > INT32_MAX) return Search::TooLarge;
  for (int64_t pad = 0; pad <= (size & 1); ++pad) {
    dataAt = at + kChunkHeader + size + pad;
    if (file.ReadAt(dataAt, chunk, kChunkHeader) && SameBytes(chunk, "data", 4)) return Search::Found;
  }
  return Search::Missing;
}

}  // namespace

KStatus KWavFormat::Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout) {
  uint8_t h[kFixedBytes];
  const KStatus invalid = kKind.NotValid(path);
  if (!ReadHead(file, h)) return invalid;
  uint32_t rate = GetLe(h + 24, 4);
  if (!SameBytes(h, "RIFF", 4) || !SameBytes(h + 8, "WAVEfmt ", 8) || rate < 2100 || rate > 44100) return invalid;
  if (GetLe(h + 20, 2) != 1) return KStatus::Failure(msg::CompressedWav(path));
  uint32_t channels = GetLe(h + 22, 2), align = GetLe(h + 32, 2), fmtSize = GetLe(h + 16, 4);
  uint32_t bits = channels > 0 && align % channels == 0 ? align / channels * 8 : 0;
  if (!KnownFormat(channels, bits) || fmtSize > INT32_MAX) return invalid;

  uint8_t chunk[kChunkHeader];
  int64_t dataAt = 0;
  Search found = FindData(file, 20 + int64_t(fmtSize), chunk, dataAt);
  if (found == Search::Missing) return KStatus::Failure(msg::NoDataChunk(path));
  uint32_t dataSize = GetLe(chunk + 4, 4);
  if (found == Search::TooLarge || dataSize > INT32_MAX) return invalid;
  layout.Channels = int32_t(channels);
  layout.BitsPerSample = int32_t(bits);
  layout.SampleRate = int32_t(rate);
  layout.DataOffset = dataAt + kChunkHeader;
  layout.DataBytes = int32_t(dataSize & ~3u);
  return layout.DataWithin(file.Size()) ? KStatus::Success() : invalid;
}

std::vector<uint8_t> KWavFormat::Header(const KVoiceFormat& voice, int32_t dataBytes) {
  std::vector<uint8_t> h(kHeaderBytes, 0);
  const uint32_t frameBytes = uint32_t(voice.FrameBytes());
  std::copy_n("RIFF", 4, h.begin());
  PutLe(&h[4], uint32_t(dataBytes) + 36, 4);
  std::copy_n("WAVEfmt ", 8, h.begin() + 8);
  PutLe(&h[16], 16, 4);
  PutLe(&h[20], 1, 2);
  PutLe(&h[22], uint32_t(voice.Channels), 2);
  PutLe(&h[24], uint32_t(voice.SampleRate), 4);
  PutLe(&h[28], uint32_t(voice.SampleRate) * frameBytes, 4);
  PutLe(&h[32], frameBytes, 2);
  PutLe(&h[34], uint32_t(voice.BitsPerSample), 2);
  std::copy_n("data", 4, h.begin() + 36);
  PutLe(&h[40], uint32_t(dataBytes), 4);
  return h;
}
