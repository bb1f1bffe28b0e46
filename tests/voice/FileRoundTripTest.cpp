// Every format gives back what Melotrix saved, with the headers byte for byte, and WAV and VOC files pass between
// Melotrix and sox both ways. sox runs with -D: without it, it dithers and its output differs from run to run.
#include <cstdio>

#include "VoiceTests.h"
#include "formats/MxvKeyStream.h"

namespace {

using RoundTrip = VoiceTests;

// The output of `command`, or a failure text when it fails.
std::string Shell(const std::string& command) {
  std::string output(1 << 16, '\0');
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  output.resize(pipe ? fread(output.data(), 1, output.size(), pipe) : 0);
  return pipe && pclose(pipe) == 0 ? output : "failed: " + command + "\n" + output;
}

// Headers of a mono 8-bit voice of END 5003 at 8000 Hz (MXV, with the key indices and table zeroed: the length rounded
// down to 4, the alias cut to 19 characters) and of a stereo 16-bit one of END 1000 at 22050 Hz.
const std::string kHeader[] = {
    "Melotrix Format\0MXV\0\1\0\2\0"s + std::string(0x40, '\0') +
        "\1\0\0\0\x08\0\0\0\x40\x1F\0\0\x80\0\0\0\x88\x13\0\0twenty-one characte\0"s,
    "RIFF\xC4\x0F\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x22\x56\0\0\x88\x58\1\0\4\0\x10\0data\xA0\x0F\0\0"s,
    "Creative Voice File\x1A\x1A\0\x14\1\x1F\x11\x09\xAC\x0F\0\x22\x56\0\0\x10\2\4\0\0\0\0\0"s, ""};

// Only MXV keeps the alias; raw PCM loads at 8000 Hz. sox writes a sweep of 0.1 s in each format, which Melotrix loads
// as its headers say.
TEST_F(RoundTrip, EveryFormatAndSampleFormatThroughMelotrixAndSox) {
  for (auto [channels, bits, rate, end, rawType] :
       {std::tuple{1, 8, 8000, 5003, 1}, {1, 16, 11025, 2501, 2}, {2, 8, 44100, 2501, 3}, {2, 16, 22050, 1000, 4}}) {
    const std::string options = "-r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " +
                                std::to_string(bits) + (bits == 8 ? " -e unsigned-integer " : " -e signed-integer -L ");
    const std::string sweep = " synth 0.1 sine 300-3000", raw = PathOf("sox.raw");
    ASSERT_EQ(Shell("sox -D -n " + options + raw + sweep), "");
    const std::vector<uint8_t> swept = ReadBytes(raw);
    GiveVoice(Voice(0), channels, bits, end, rate);
    std::vector<uint8_t> saved = Bytes(Voice(0));
    saved.resize(saved.size() & ~size_t(3));
    for (Kind kind : kKinds) {
      const std::string path = PathOf("m."s + kName[int(kind)]);
      SCOPED_TRACE(options + path);
      ASSERT_TRUE(SaveAs(Voice(0), kind, path) && LoadAs(Voice(2), kind, path, channels, bits));
      const KPcmFiles& v = Voice(2);
      std::vector<uint8_t> f = ReadBytes(path), data = saved;
      const size_t at = kHeader[int(kind)].size();
      ASSERT_EQ(f.size(), at + saved.size());
      if (kind == Kind::Mxv) {  // one key stream runs across the 4096-byte blocks
        KMxvKeyStream(f[0x1A + f[0x18]], f[0x1A + f[0x19]]).Scramble(data.data(), data.size());
        std::fill(f.begin() + 0x18, f.begin() + 0x58, 0);
      }
      EXPECT_EQ(std::vector<uint8_t>(f.begin() + long(at), f.end()), data);
      const std::string header(f.begin(), f.begin() + long(at));  // the rows above have their header here
      EXPECT_EQ(header, end == (kind == Kind::Mxv ? 5003 : 1000) ? kHeader[int(kind)] : header);
      EXPECT_EQ(Bytes(Voice(2)), saved);
      EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.FileName),
                std::make_tuple(channels, bits, kind == Kind::Raw ? 8000 : rate, path));
      EXPECT_EQ(v.AliasName, kind == Kind::Mxv ? "twenty-one characte" : "");
      EXPECT_EQ(int(v.FileType), kind == Kind::Raw ? rawType : 5 + int(kind));  // MXV, WAV, VOC: 5, 6, 7
      if (kind == Kind::Mxv || kind == Kind::Raw) continue;
      // sox reads the header (a wrong one would make it convert) and the samples.
      EXPECT_EQ(Shell("sox -D " + path + " " + options + raw), "");
      EXPECT_EQ(ReadBytes(raw), saved);
      ASSERT_EQ(Shell("sox -D -n " + options + path + sweep), "");
      if (kind == Kind::Voc && channels == 2 && bits == 8) {  // sox writes a type 8 block
        EXPECT_FALSE(Voice(2).LoadVocFile(path));
        EXPECT_EQ(LastMessage(), Text(KLoadMessageText(msg::kVocBlockType), {path, "8"}));
        continue;
      }
      ASSERT_TRUE(LoadAs(Voice(2), kind, path));
      // WAV: the data length rounded down to 4. VOC: as the block length says, which sox's 16-bit type 9 block gives 8
      // bytes short; its 8-bit type 1 block gives a time constant (byte 30).
      const size_t n = kind == Kind::Wav ? swept.size() & ~size_t(3) : swept.size() - (bits == 16 ? 8 : 0);
      const int32_t loaded = kind == Kind::Voc && bits == 8 ? 1000000 / (256 - ReadBytes(path)[30]) / 25 * 25 : rate;
      EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate), std::tie(channels, bits, loaded));
      EXPECT_EQ(Bytes(Voice(2)), std::vector<uint8_t>(swept.begin(), swept.begin() + long(n)));
    }
  }
}

}  // namespace
