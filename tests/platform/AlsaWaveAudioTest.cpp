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

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AlsaWaveAudioTest : public ::testing::Test {
 protected:
  // ALSA reads its configuration once; forget it so that this folder counts.
  AlsaWaveAudioTest() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "MELOTRIX_PCM"})
      if (const char* old = std::getenv(name)) saved_.emplace_back(name, old);
    setenv("HOME", dir.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    unsetenv("MELOTRIX_PCM");
    snd_config_update_free_global();
  }
  ~AlsaWaveAudioTest() override {
    unsetenv("MELOTRIX_PCM");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    snd_config_update_free_global();
  }

  void WriteConfig() {
    std::filesystem::create_directories(dir / "alsa");
    std::ofstream(dir / "alsa/asoundrc") << "pcm.!default {\n  type asym\n"
                                         << "  playback.pcm { type file file \"" << dir / "out.raw"
                                         << "\" format raw slave.pcm null }\n"
                                         << "  capture.pcm { type file file \"/dev/null\" infile \"" << dir / "in.raw"
                                         << "\" format raw slave.pcm null }\n}\n"
                                         << "pcm.melotrix_other { type file file \"" << dir / "other.raw"
                                         << "\" format raw slave.pcm null }\n";
  }

  // Streams `bytes` through two buffers of `chunk` bytes, refilling each as
  // the device lets it go, the way the play and record loops do.
  bool Stream(KWaveDirection direction, std::vector<uint8_t>& bytes, size_t chunk) {
    KWaveBuffer buffers[2];
    size_t next = 0;
    for (int pass = 0; pass < 100000; ++pass) {
      bool busy = false;
      for (KWaveBuffer& b : buffers) {
        if (b.InQueue && audio.Unprepare(direction, b) == KWaveRelease::StillPlaying) {
          busy = true;
          continue;
        }
        if (next == bytes.size()) continue;
        b.Data = bytes.data() + next;
        b.Bytes = int32_t(std::min(chunk, bytes.size() - next));
        next += size_t(b.Bytes);
        if (!audio.Prepare(direction, b) || !audio.Queue(direction, b)) return false;
        busy = true;
      }
      if (!busy) return true;
      if (direction == kIn && pass == 0 && !audio.Start(kIn)) return false;
      audio.Wait(direction, 20);
    }
    return false;
  }

  TempDir dir;
  std::vector<std::pair<std::string, std::string>> saved_;
  KAlsaWaveAudio audio;
};

// Played bytes land in the file exactly, in several formats and chunk sizes,
// and on the device MELOTRIX_PCM names.
TEST_F(AlsaWaveAudioTest, PlayedBytesLandInTheFileExactly) {
  WriteConfig();
  struct Case {
    int channels, bits, rate;
    size_t chunk;
    const char* pcm;
  };
  for (Case c : {Case{1, 8, 8000, 65536, ""}, Case{2, 16, 44100, 65536, ""}, Case{1, 16, 3999, 1000, ""},
                 Case{1, 8, 22050, 2048, "melotrix_other"}}) {
    SCOPED_TRACE(c.chunk);
    setenv("MELOTRIX_PCM", c.pcm, 1);
    EXPECT_EQ(KAlsaWaveAudio::PcmName(), *c.pcm ? c.pcm : "default");
    std::vector<uint8_t> bytes = Noise(150000 - 150000 % size_t(c.channels * c.bits / 8), unsigned(c.rate));
    ASSERT_TRUE(audio.Open(kOut, c.channels, c.bits, c.rate)) << audio.Status().Message;
    ASSERT_TRUE(Stream(kOut, bytes, c.chunk)) << audio.Status().Message;
    EXPECT_EQ(audio.Position(kOut), int64_t(bytes.size()) / (c.channels * c.bits / 8));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(audio.CloseAll());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MX MxCloseAllWaveDeviceHandle()\n");
    EXPECT_EQ(ReadAll(dir / (*c.pcm ? "other.raw" : "out.raw")), bytes);
  }
}

TEST_F(AlsaWaveAudioTest, RecordedBytesComeFromTheInputFile) {
  WriteConfig();
  std::vector<uint8_t> input = Noise(200000, 7);
  std::ofstream(dir / "in.raw", std::ios::binary).write(reinterpret_cast<const char*>(input.data()), 200000);
  std::vector<uint8_t> recorded(131072 + 4000);
  ASSERT_TRUE(audio.Open(kIn, 2, 16, 44100)) << audio.Status().Message;
  ASSERT_TRUE(Stream(kIn, recorded, 65536)) << audio.Status().Message;
  EXPECT_EQ(audio.Position(kIn), int64_t(recorded.size()) / 4);
  EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), input.begin()));
  ASSERT_TRUE(audio.Open(kIn, 2, 16, 44100));  // reopening restarts the position
  EXPECT_EQ(audio.Position(kIn), 0);
}

TEST_F(AlsaWaveAudioTest, WithoutADefaultDeviceOpenFailsQuietly) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(audio.Open(kOut, 1, 8, 8000));
  EXPECT_NE(audio.Status().Message.find("snd_pcm_open default"), std::string::npos) << audio.Status().Message;
  EXPECT_FALSE(audio.Open(kIn, 1, 8, 8000));
  EXPECT_FALSE(audio.CloseAll());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(audio.Position(kOut), 0);
}

}  // namespace
