// Against real ALSA without a sound card: "default" is pointed at the file
// plugin over the null PCM through an asoundrc in a temporary config folder.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/AlsaWaveAudio.h"
#include "support/TempDir.h"

namespace {

constexpr KWaveDirection kOut = KWaveDirection::Output;
constexpr KWaveDirection kIn = KWaveDirection::Input;

std::vector<uint8_t> Noise(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(n);
  for (uint8_t& b : bytes) b = uint8_t(random());
  return bytes;
}

class AlsaWaveAudioTest : public ::testing::Test {
 protected:
  // ALSA reads its configuration once; forget it so that this folder counts.
  AlsaWaveAudioTest() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "MELOTRIX_PCM"})
      if (const char* old = std::getenv(name)) saved_.emplace_back(name, old);
    setenv("HOME", dir_.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
    unsetenv("MELOTRIX_PCM");
    snd_config_update_free_global();
  }
  ~AlsaWaveAudioTest() override {
    unsetenv("MELOTRIX_PCM");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    snd_config_update_free_global();
  }
  // "default" plays into out.raw and records from in.raw, "melotrix_other" plays into other.raw.
  void WriteConfig() {
    std::filesystem::create_directories(dir_ / "alsa");
    std::ofstream(dir_ / "alsa/asoundrc")
        << "pcm.!default {\n  type asym\n  playback.pcm { type file file \"" << dir_ / "out.raw"
        << "\" format raw slave.pcm null }\n"
        << "  capture.pcm { type file file \"/dev/null\" infile \"" << dir_ / "in.raw"
        << "\" format raw slave.pcm null }\n}\n"
        << "pcm.melotrix_other { type file file \"" << dir_ / "other.raw"
        << "\" format raw slave.pcm null }\n";
  }
  std::vector<uint8_t> ReadAll(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Streams `bytes` through two buffers of `chunk` bytes, refilling each as
  // the device lets it go, the way the play and record loops do.
  bool Stream(KWaveDirection direction, std::vector<uint8_t>& bytes, size_t chunk) {
    KWaveBuffer buffers[2];
    size_t next = 0;
    for (int pass = 0; pass < 100000; ++pass) {
      bool busy = false;
      for (KWaveBuffer& b : buffers) {
        if (b.InQueue && audio_.Unprepare(direction, b) == KWaveRelease::StillPlaying) {
          busy = true;
          continue;
        }
        if (next == bytes.size()) continue;
        b.Data = bytes.data() + next;
        b.Bytes = int32_t(std::min(chunk, bytes.size() - next));
        next += size_t(b.Bytes);
        if (!audio_.Prepare(direction, b) || !audio_.Queue(direction, b)) return false;
        busy = true;
      }
      if (!busy) return true;
      if (direction == kIn && pass == 0 && !audio_.Start(kIn)) return false;
      audio_.Wait(direction, 20);
    }
    return false;
  }
  TempDir dir_;
  std::vector<std::pair<std::string, std::string>> saved_;
  KAlsaWaveAudio audio_;
};

// Played bytes land in the file exactly, recorded ones come from it, in
// several formats and chunk sizes, also on the device MELOTRIX_PCM names;
// the position counts the frames, and reopening restarts it.
TEST_F(AlsaWaveAudioTest, StreamedBytesMatchTheFilesExactly) {
  WriteConfig();
  const std::vector<uint8_t> input = Noise(200000, 7);
  std::ofstream(dir_ / "in.raw", std::ios::binary).write(reinterpret_cast<const char*>(input.data()), 200000);
  struct Case {
    KWaveDirection direction;
    int channels, bits, rate;
    size_t bytes, chunk;
    const char *pcm, *file;
  };
  for (Case c : {Case{kOut, 1, 8, 8000, 150000, 65536, "", "out.raw"},
                 {kOut, 2, 16, 44100, 150000, 65536, "", "out.raw"},
                 {kOut, 1, 16, 3999, 150000, 1000, "", "out.raw"},
                 {kOut, 1, 8, 22050, 150000, 2048, "melotrix_other", "other.raw"},
                 {kIn, 2, 16, 44100, 131072 + 4000, 65536, "", "in.raw"}}) {
    SCOPED_TRACE(testing::Message() << c.file << " " << c.rate << " Hz in chunks of " << c.chunk);
    setenv("MELOTRIX_PCM", c.pcm, 1);
    EXPECT_EQ(KAlsaWaveAudio::PcmName(), *c.pcm ? c.pcm : "default");
    const int frameBytes = c.channels * c.bits / 8;
    std::vector<uint8_t> bytes = c.direction == kOut ? Noise(c.bytes, unsigned(c.rate)) : std::vector<uint8_t>(c.bytes);
    ASSERT_TRUE(audio_.Open(c.direction, c.channels, c.bits, c.rate)) << audio_.Status().Message;
    ASSERT_TRUE(Stream(c.direction, bytes, c.chunk)) << audio_.Status().Message;
    EXPECT_EQ(audio_.Position(c.direction), int64_t(c.bytes) / frameBytes);
    ASSERT_TRUE(audio_.Open(c.direction, c.channels, c.bits, c.rate));
    EXPECT_EQ(audio_.Position(c.direction), 0);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(audio_.CloseAll());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MX MxCloseAllWaveDeviceHandle()\n");
    std::vector<uint8_t> file = ReadAll(c.file);
    if (c.direction == kIn) file.resize(bytes.size());  // a recording is the start of its file
    EXPECT_EQ(file, bytes);
  }
}

// Without a device to open, opening fails with ALSA's reason and says nothing.
TEST_F(AlsaWaveAudioTest, WithoutADefaultDeviceOpenFailsQuietly) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(audio_.Open(kOut, 1, 8, 8000));
  EXPECT_NE(audio_.Status().Message.find("snd_pcm_open default"), std::string::npos) << audio_.Status().Message;
  EXPECT_FALSE(audio_.Open(kIn, 1, 8, 8000) || audio_.CloseAll());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(audio_.Position(kOut), 0);
}

}  // namespace
