// The queue of two wave buffers; the device cache and buffer rules of wave audio over the simulated device; and real
// ALSA without a sound card, through its file plugin over the null PCM.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <vector>

#include "platform/AlsaWaveAudio.h"
#include "platform/SimulatedWaveAudio.h"
#include "platform/WaveQueue.h"
#include "support/TempDir.h"

namespace {

constexpr KWaveDirection kOut = KWaveDirection::Output;
constexpr KWaveDirection kIn = KWaveDirection::Input;

std::vector<uint8_t> Counting(size_t n, uint8_t first) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

// Streams `bytes` through two buffers of `chunk` bytes, refilling each once the device lets it go, the way the play and
// record loops do.
bool Stream(KWaveAudio& audio, KWaveDirection direction, std::vector<uint8_t>& bytes, size_t chunk) {
  KWaveBuffer buffers[2];
  size_t next = 0;
  for (int pass = 0; pass < 5000; ++pass) {
    bool busy = false;
    for (KWaveBuffer& b : buffers) {
      bool held = b.InQueue && audio.Unprepare(direction, b) == KWaveRelease::StillPlaying;
      if (!held && next < bytes.size()) {
        b.Data = bytes.data() + next;  // the same record again, as the play and record loops reuse theirs
        b.Bytes = int32_t(std::min(chunk, bytes.size() - next));
        next += size_t(b.Bytes);
        if (!audio.Prepare(direction, b) || !audio.Queue(direction, b)) return false;
        held = true;
      }
      busy = busy || held;
    }
    if (!busy) return true;
    if (direction == kIn && pass == 0 && !audio.Start(kIn)) return false;
    audio.Wait(direction, 20);
  }
  return false;
}

class WaveTest : public ::testing::Test {
 protected:
  bool PrepareAndQueue(KWaveDirection direction, KWaveBuffer& buffer) {
    return sim.Prepare(direction, buffer) && sim.Queue(direction, buffer);
  }
  std::vector<uint8_t> memA = Counting(10, 0), memB = Counting(6, 10), memC = Counting(7, 16);
  KWaveBuffer a{memA.data(), 10}, b{memB.data(), 6};
  KSimulatedWaveAudio sim;
};

// Frames of 2 bytes: a holds frames 0..4, b frames 5..7. The queue offers the unmoved frames in order and lets a buffer
// go once they are finished.
TEST_F(WaveTest, QueueOffersTheUnmovedFramesAndReleasesFinishedBuffers) {
  KWaveQueue queue;
  queue.Clear(2);
  KWaveBuffer odd{memC.data(), 3};
  EXPECT_FALSE(queue.Add(odd));
  ASSERT_TRUE(queue.Add(a));
  EXPECT_FALSE(queue.Add(a));  // already queued
  ASSERT_TRUE(queue.Add(b));
  EXPECT_EQ(std::tuple(queue.Count(), a.End, b.End), std::tuple(2, int64_t(5), int64_t(8)));
  const std::tuple<int64_t, uint8_t*, int64_t> moves[] = {
      {2, memA.data(), 5}, {3, memA.data() + 4, 3}, {10, memB.data(), 3}, {0, nullptr, 0}};
  for (auto [moved, data, frames] : moves) {
    EXPECT_EQ(std::pair(queue.Next().Data, queue.Next().Frames), std::pair(data, frames));
    queue.Moved(moved);
  }
  EXPECT_EQ(queue.MovedFrames(), 8);                                       // never past what was queued
  EXPECT_FALSE(queue.Release(a, 4) || queue.Release(b, 7) || !a.InQueue);  // still held
  EXPECT_TRUE(queue.Release(a, 5));
  EXPECT_EQ(std::pair(a.InQueue, queue.OldestEnd()), std::pair(false, int64_t(8)));
  queue.Clear(2);
  EXPECT_FALSE(b.InQueue);
  EXPECT_EQ(queue.Count() + queue.MovedFrames() + queue.OldestEnd(), 0);
  EXPECT_TRUE(queue.Release(a, 0));  // no longer held: released at once
  ASSERT_TRUE(queue.Add(b));
  EXPECT_EQ(b.End, 3);
  // Frames heard: written less the delay, never going back.
  for (auto [delay, before, heard] :
       {std::tuple{300, 0, 700}, {0, 0, 1000}, {1500, 0, 0}, {300, 800, 800}, {-5, 0, 1000}, {300, 1200, 1000}})
    EXPECT_EQ(HeardFrames(1000, delay, before), heard) << delay << " " << before;
}

// Playable formats open a device once; the same format again resets it, any other closes and reopens it, refused
// formats never reach the device, and a failed open leaves none.
TEST_F(WaveTest, FormatsOpenCloseResetAndReuseTheDevice) {
  // Direction, channels, bits, rate, whether it opens, then the opens, closes and resets so far.
  const std::tuple<KWaveDirection, int, int, int, bool, int, int, int> steps[] = {
      {kOut, 1, 8, 8000, true, 1, 0, 1},   {kOut, 1, 8, 8000, true, 1, 0, 2},   {kOut, 2, 8, 8000, true, 2, 1, 3},
      {kOut, 2, 16, 8000, true, 3, 2, 4},  {kOut, 2, 16, 44100, true, 4, 3, 5}, {kOut, 1, 8, 3998, false, 4, 3, 5},
      {kOut, 1, 8, 44101, false, 4, 3, 5}, {kOut, 0, 8, 8000, false, 4, 3, 5},  {kOut, 3, 8, 8000, false, 4, 3, 5},
      {kOut, 1, 12, 8000, false, 4, 3, 5}, {kOut, 1, 24, 8000, false, 4, 3, 5}, {kOut, 2, 16, 44100, true, 4, 3, 6},
      {kIn, 1, 16, 3999, true, 1, 0, 1},   {kIn, 1, 8, 2100, false, 1, 0, 1},   {kOut, 1, 8, 3999, true, 5, 4, 7},
  };
  for (auto [direction, channels, bits, rate, ok, opens, closes, resets] : steps) {
    SCOPED_TRACE(testing::Message() << channels << " " << bits << " " << rate);
    EXPECT_EQ(sim.Open(direction, channels, bits, rate), ok);
    EXPECT_TRUE(ok || !sim.Status().Message.empty());
    EXPECT_EQ(std::tuple(sim.Calls(KWaveOp::Open, direction), sim.Calls(KWaveOp::Close, direction),
                         sim.Calls(KWaveOp::Reset, direction)),
              std::tuple(opens, closes, resets));
  }
  EXPECT_TRUE(MxCloseAllWaveDeviceHandle(sim));
  EXPECT_FALSE(sim.CloseAll());
  EXPECT_EQ(sim.Calls(KWaveOp::Close, kOut) + sim.Calls(KWaveOp::Close, kIn), 6);
  ASSERT_TRUE(sim.Open(kOut, 1, 8, 8000));
  EXPECT_EQ(sim.Calls(KWaveOp::Open, kOut), 6);
  sim.FailAt(KWaveOp::Open, kOut, 7);
  EXPECT_FALSE(sim.Open(kOut, 1, 16, 8000));
  EXPECT_EQ(sim.Status().Message, "simulated open failure");
  EXPECT_FALSE(sim.Prepare(kOut, a));
  EXPECT_TRUE(sim.Open(kOut, 1, 16, 8000) && sim.Prepare(kOut, a));
}

// Buffers must be whole frames, prepared and find room in the queue, and stay held until their last frame is heard;
// streamed bytes play in order.
TEST_F(WaveTest, BuffersOfWholeFramesStreamInOrder) {
  KWaveBuffer odd{memC.data(), 7}, none{nullptr, 4}, empty{memC.data(), 0}, c{memC.data(), 4};
  sim.Wait(kOut, 10);
  EXPECT_FALSE(sim.Prepare(kOut, c) || sim.Calls(KWaveOp::Wait, kOut) > 0);  // no device open
  ASSERT_TRUE(sim.Open(kOut, 2, 8, 8000));
  for (KWaveBuffer* refused : {&odd, &none, &empty}) EXPECT_FALSE(sim.Prepare(kOut, *refused)) << refused->Bytes;
  EXPECT_FALSE(sim.Queue(kOut, c));
  ASSERT_TRUE(PrepareAndQueue(kOut, a) && PrepareAndQueue(kOut, b));
  EXPECT_FALSE(sim.Prepare(kOut, a));  // still in the queue
  EXPECT_FALSE(sim.Prepare(kOut, c) && sim.Queue(kOut, c));
  sim.Advance(kOut, 4);
  EXPECT_EQ(std::pair(sim.Unprepare(kOut, a), a.Prepared), std::pair(KWaveRelease::StillPlaying, true));
  sim.Advance(kOut, 1);
  EXPECT_EQ(std::pair(sim.Unprepare(kOut, b), sim.Unprepare(kOut, a)),
            std::pair(KWaveRelease::StillPlaying, KWaveRelease::Done));
  ASSERT_TRUE(sim.Reset(kOut) && sim.Played() == std::vector(memA.begin(), memA.end()));
  EXPECT_EQ(std::pair(b.InQueue, sim.Position(kOut)), std::pair(false, int64_t(0)));  // a reset returns every buffer
  sim.WhenWaiting = [this](KWaveDirection direction) { sim.Advance(direction, 3); };
  std::vector<uint8_t> played = Counting(250, 1);
  ASSERT_TRUE(Stream(sim, kOut, played, 16));
  EXPECT_EQ(std::vector(sim.Played().begin() + 10, sim.Played().end()), played);
}

class AlsaWaveAudioTest : public ::testing::Test {
 protected:
  // ALSA reads its configuration once; forget it so that this folder counts.
  AlsaWaveAudioTest() {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "MELOTRIX_PCM"}) {
      if (const char* old = std::getenv(name)) saved_.emplace_back(name, old);
      setenv(name, dir_.Path().c_str(), 1);
    }
    unsetenv("MELOTRIX_PCM");
    snd_config_update_free_global();
  }
  ~AlsaWaveAudioTest() override {
    unsetenv("MELOTRIX_PCM");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    snd_config_update_free_global();
  }
  TempDir dir_;
  std::vector<std::pair<std::string, std::string>> saved_;
  KAlsaWaveAudio audio_;
};

// Without a device, opening fails quietly; then "default" plays into out.raw and records from in.raw, "melotrix_other"
// plays into other.raw: the bytes exactly those of the files, in several formats and chunk sizes, the position counting
// frames (reopening restarts it).
TEST_F(AlsaWaveAudioTest, StreamedBytesMatchTheFilesExactly) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(audio_.Open(kOut, 1, 8, 8000) || audio_.Open(kIn, 1, 8, 8000) || audio_.CloseAll());
  EXPECT_NE(audio_.Status().Message.find("snd_pcm_open default"), std::string::npos) << audio_.Status().Message;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  snd_config_update_free_global();
  std::filesystem::create_directories(dir_ / "alsa");
  const std::string end = "\" format raw slave.pcm null }\n";
  std::ofstream(dir_ / "alsa/asoundrc") << "pcm.!default { type asym\n playback.pcm { type file file \""
                                        << dir_ / "out.raw" << end
                                        << " capture.pcm { type file file \"/dev/null\" infile \"" << dir_ / "in.raw"
                                        << end << "}\npcm.melotrix_other { type file file \"" << dir_ / "other.raw"
                                        << end;
  std::vector<uint8_t> input(200000);
  for (uint8_t& b : input) b = uint8_t(std::rand());
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
    const auto from = input.begin() + c.rate % 1000;  // output: bytes of their own per case
    std::vector<uint8_t> bytes =
        c.direction == kOut ? std::vector(from, from + long(c.bytes)) : std::vector<uint8_t>(c.bytes);
    ASSERT_TRUE(audio_.Open(c.direction, c.channels, c.bits, c.rate)) << audio_.Status().Message;
    ASSERT_TRUE(Stream(audio_, c.direction, bytes, c.chunk)) << audio_.Status().Message;
    EXPECT_EQ(audio_.Position(c.direction), int64_t(c.bytes) / (c.channels * c.bits / 8));
    ASSERT_TRUE(audio_.Open(c.direction, c.channels, c.bits, c.rate));
    EXPECT_EQ(audio_.Position(c.direction), 0);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(audio_.CloseAll());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MX MxCloseAllWaveDeviceHandle()\n");
    std::ifstream in(dir_ / c.file, std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (c.direction == kIn) file.resize(bytes.size());  // a recording is the start of its file
    EXPECT_EQ(file, bytes);
  }
}

}  // namespace
