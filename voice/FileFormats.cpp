#include "voice/FileFormats.h"

#include <cctype>

#include "formats/MxvFormat.h"
#include "formats/RawFormat.h"
#include "formats/VocFormat.h"
#include "formats/WavFormat.h"
#include "voice/PcmFiles.h"

namespace {

template <int Channels, int Bits>
bool LoadRaw(KPcmFiles& voice, const std::string& path) {
  return voice.LoadRawPcmFile(path, Channels, Bits);
}
bool SaveRaw(KPcmFiles& voice, const std::string& path) { return voice.SaveRawPcmFile(path); }

template <int Channels, int Bits>
constexpr KFileFormat RawRow(KFileType type) {
  return {type, &KRawFormat::kKind, "pcm", Channels, Bits, LoadRaw<Channels, Bits>, SaveRaw};
}

const KFileFormat kFormats[] = {
    {KFileType::Mxv, &KMxvFormat::kKind, "mxv", 0, 0,
     [](KPcmFiles& v, const std::string& p) { return v.LoadMxvFile(p); },
     [](KPcmFiles& v, const std::string& p) { return v.SaveMxvFile(p); }},
    {KFileType::Wav, &KWavFormat::kKind, "wav", 0, 0,
     [](KPcmFiles& v, const std::string& p) { return v.LoadWavFile(p); },
     [](KPcmFiles& v, const std::string& p) { return v.SaveWavFile(p); }},
    {KFileType::Voc, &KVocFormat::kKind, "voc", 0, 0,
     [](KPcmFiles& v, const std::string& p) { return v.LoadVocFile(p); },
     [](KPcmFiles& v, const std::string& p) { return v.SaveVocFile(p); }},
    RawRow<1, 8>(KFileType::RawMono8),
    RawRow<1, 16>(KFileType::RawMono16),
    RawRow<2, 8>(KFileType::RawStereo8),
    RawRow<2, 16>(KFileType::RawStereo16),
};

}  // namespace

std::span<const KFileFormat> FileFormats() { return kFormats; }

const KFileFormat* FindFileFormat(KFileType type) {
  for (const KFileFormat& format : kFormats)
    if (format.Type == type) return &format;
  return nullptr;
}

KFileType RawFileType(int32_t channels, int32_t bits) {
  for (const KFileFormat& format : kFormats)
    if (format.Raw() && format.RawChannels == channels && format.RawBits == bits) return format.Type;
  return KFileType::RawStereo16;
}

const KFileFormat* FileFormatByExtension(std::string_view extension) {
  auto same = [extension](std::string_view name) {
    if (name.size() != extension.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(extension[i])) != name[i]) return false;
    return true;
  };
  for (const KFileFormat& format : kFormats)
    if (same(format.Extension)) return &format;
  return nullptr;
}
