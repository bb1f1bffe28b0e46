// The window plays and records through real ALSA: the default PCM is ALSA's
// file plugin (an asoundrc in a temporary XDG_CONFIG_HOME), so the bytes the
// window's play command delivers land in out.raw and a recording comes from
// in.raw.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <fstream>
#include <iterator>

#include "XdgFolders.h"
#include "app/MainWindow.h"
#include "dialogs/DialogDriver.h"
#include "platform/AlsaWaveAudio.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WindowAlsa, PlayAndRecordThroughTheFilePlugin) {
  TempDir config;
  KEnvironmentValue home("XDG_CONFIG_HOME", config.Path());
  KEnvironmentValue pcm("MELOTRIX_PCM", "default");
  std::filesystem::create_directories(config / "alsa");
  std::ofstream(config / "alsa/asoundrc")
      << "pcm.!default {\n  type asym\n"
      << "  playback.pcm { type file file \"" << config / "out.raw"
      << "\" format raw slave.pcm null }\n"
      << "  capture.pcm { type file file \"/dev/null\" infile \"" << config / "in.raw"
      << "\" format raw slave.pcm null }\n}\n";
  std::vector<uint8_t> input(40000);
  for (size_t k = 0; k < input.size(); ++k) input[k] = uint8_t(k * 7 + k / 300);
  std::ofstream(config / "in.raw", std::ios::binary).write(reinterpret_cast<const char*>(input.data()), 40000);
  snd_config_update_free_global();
  {
    TempDir swap;
    KAlsaWaveAudio audio;
    TFormMain window(swap.Path(), audio);
    window.Banks().SelectBank(1);
    // Record 1 second of mono 8-bit at 8000 Hz from in.raw through the record dialog.
    QDialog& dialog = *window.findChild<QDialog*>("DlgRecord");
    WhenOpen(dialog, [&dialog] {
      Find<QLineEdit>(dialog, "EditRecLen")->setText("1.0");
      dialog.findChild<QScrollBar*>("ScrollBarSR")->setValue(8000);
      Click(dialog, "BitBtnRecord");
    });
    window.Action("MenuRecord")->trigger();
    KPcmFiles& v = window.Current();
    ASSERT_EQ(v.END, 8000);
    std::vector<uint8_t> recorded(size_t(v.END));
    uint8_t* view = v.Storage->MapView(0, v.END);
    ASSERT_NE(view, nullptr);
    std::copy(view, view + v.END, recorded.begin());
    v.Storage->UnmapView(view);
    // N - 1 captured frames from the input, and a silent END frame.
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.end() - 1, input.begin()));
    EXPECT_EQ(recorded.back(), 0x80);
    // Play the marked area 101..5100: frames 101..5099 are delivered.
    v.SetMklAt(101);
    v.SetMkrAt(5100);
    window.findChild<QPushButton*>("BitBtnPlayMarked")->click();
    MxCloseAllWaveDeviceHandle(audio);
    const std::vector<uint8_t> played = Bytes(config / "out.raw");
    EXPECT_EQ(played, std::vector<uint8_t>(input.begin() + 100, input.begin() + 5099));
  }
  snd_config_update_free_global();
}

}  // namespace
