// What the display tests share: a canvas and a view that record what they are told, sample stores, a different colour
// in every slot, and both boxes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "display/Canvas.h"
#include "display/ColourScheme.h"
#include "display/Display.h"
#include "display/DisplayOptions.h"
#include "display/Overview.h"
#include "display/VoiceFacts.h"
#include "display/VoiceView.h"
#include "display/ZoomInBox.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

// Records every call in order; also the surface of a box, counting the changes it is told of.
class RecordingCanvas : public KCanvas, public KBoxSurface {
 public:
  enum class Kind { Line, Fill, Tiled, Icon, Text };
  struct Call {
    Kind What;
    int A, B, C, D;  // line: x0 y0 x1 y1; fills: l t r b; icon and text: x y
    KColour Colour = 0;
    KIcon Icon = KIcon::MKL;
    const KTile* Tile = nullptr;
    bool operator==(const Call&) const = default;
  };

  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  void Line(int x0, int y0, int x1, int y1, KColour colour) override {
    Calls.push_back({Kind::Line, x0, y0, x1, y1, colour});
  }
  void FillRect(int l, int t, int r, int b, KColour colour) override {
    Calls.push_back({Kind::Fill, l, t, r, b, colour});
  }
  void FillTiled(int l, int t, int r, int b, const KTile& tile) override {
    Calls.push_back({Kind::Tiled, l, t, r, b, 0, KIcon::MKL, &tile});
  }
  void DrawIcon(KIcon icon, int x, int y) override { Calls.push_back({Kind::Icon, x, y, 0, 0, 0, icon}); }
  void Text(int x, int y, std::string_view, KColour colour, KColour) override {
    Calls.push_back({Kind::Text, x, y, 0, 0, colour});
  }
  KCanvas& Canvas() override { return *this; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Changed() override { ++Changes; }

  size_t Count(Kind kind) const {
    return size_t(std::count_if(Calls.begin(), Calls.end(), [&](const Call& c) { return c.What == kind; }));
  }
  // The lines drawn in `colour` and the fills with `tile` as l t r b (x0 y0 x1 y1); the icons as kind, x, y.
  std::vector<std::array<int, 4>> LinesIn(KColour colour) const { return Boxes(Kind::Line, colour, nullptr); }
  std::vector<std::array<int, 4>> TiledWith(const KTile& tile) const { return Boxes(Kind::Tiled, 0, &tile); }
  std::vector<int> Icons() const {
    std::vector<int> out;
    for (const Call& c : Calls)
      if (c.What == Kind::Icon) out.insert(out.end(), {int(c.Icon), c.A, c.B});
    return out;
  }

  std::vector<Call> Calls;
  int Changes = 0;

 private:
  std::vector<std::array<int, 4>> Boxes(Kind kind, KColour colour, const KTile* tile) const {
    std::vector<std::array<int, 4>> out;
    for (const Call& c : Calls)
      if (c.What == kind && c.Colour == colour && c.Tile == tile) out.push_back({c.A, c.B, c.C, c.D});
    return out;
  }

  int width_, height_;
};

// Keeps every call in order as "what=text", the bank images and the messages.
class RecordingView : public KVoiceView {
 public:
  void SetReadout(KReadoutField field, std::string_view text) override {
    static constexpr const char* kFields[] = {"END", "MKL", "MKR", "FLG", "MRK", "SR", "Info"};
    Log.push_back(kFields[int(field)] + ("=" + std::string(text)));
  }
  void SetStatusPanel(KStatusPanel panel, std::string_view text) override {
    Log.push_back("Panel" + std::to_string(int(panel)) + "=" + std::string(text));
  }
  void SetUndoItem(std::string_view caption, bool enabled) override {
    Log.push_back("Undo=" + std::string(caption) + (enabled ? "|on" : "|off"));
  }
  void SetBankImage(int bank, int imageIndex) override { Banks[bank] = imageIndex; }
  void SetRecordProgress(int percent) override { Log.push_back("Record=" + std::to_string(percent)); }
  void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }

  std::vector<std::string> Log, Messages;
  std::map<int, int> Banks;
};

class BoxFixture : public ::testing::Test {
 protected:
  using S = KColourSlot;
  using Kind = RecordingCanvas::Kind;
  using Box = std::array<int, 4>;
  using Ints = std::vector<int>;

  BoxFixture() {
    for (const KColourSlotInfo& info : KColourScheme::Slots()) colours_.Set(info.Slot, C(info.Slot));
  }
  // The colour every slot is given: all twenty differ.
  static KColour C(KColourSlot slot) { return 0x101000 + KColour(slot); }
  static KVoiceFacts Voice(int32_t channels, int32_t bits, int32_t end) {
    return KVoiceFacts{channels, bits, end, 0, 0, 0, end > 0 ? 1 : 0};
  }
  // A store of the sample values (channel samples in frame order; 8-bit values are -128..127).
  std::unique_ptr<KPcmMMap> Store(int32_t bits, const std::vector<int>& values) {
    auto store = std::make_unique<KPcmMMap>(dir_.Path());
    const int32_t size = int32_t(values.size()) * bits / 8;
    EXPECT_TRUE(store->Resize(std::max(size, 16)));
    uint8_t* p = store->MapView(0, store->Size());
    for (int v : values) {
      *p++ = uint8_t(bits == 8 ? v + 128 : v & 0xFF);
      if (bits == 16) *p++ = uint8_t((v >> 8) & 0xFF);
    }
    store->UnmapView(p - size);
    return store;
  }
  // A voice of `values` in store_ (channel samples in frame order).
  KVoiceFacts Load(int32_t channels, int32_t bits, const std::vector<int>& values) {
    store_ = Store(bits, values);
    return Voice(channels, bits, int32_t(values.size()) / channels);
  }

  static KOverviewGeometry OverviewGeometry(int channels) { return MakeOverviewGeometry(641, 180, channels); }
  KOverviewPainter OverviewPainter(int channels) {
    return KOverviewPainter(zo_, OverviewGeometry(channels), colours_, options_);
  }
  KZoomInPainter ZoomPainter() { return KZoomInPainter(zi_, MakeZoomGeometry(641, 292), colours_, options_); }
  // Places the overview's markers and pointer as a full redraw does, then redraws.
  void RedrawOverview(const KVoiceFacts& voice) {
    overview_.PlaceMarkers(voice, OverviewGeometry(voice.Channels));
    overview_.PlacePointer(voice, OverviewGeometry(voice.Channels));
    OverviewPainter(voice.Channels).Redraw(overview_, voice);
  }
  // Fills the zoom-in window from store_ and redraws the box afresh.
  void RedrawZoomIn(const KVoiceFacts& voice) {
    EXPECT_TRUE(window_.Fill(*store_, voice));
    zi_.Calls.clear();
    ZoomPainter().Redraw(window_, voice);
  }

  TempDir dir_;
  KColourScheme colours_{0xC0C0C0};
  KDisplayOptions options_;
  std::unique_ptr<KPcmMMap> store_;
  KOverview overview_;
  KZoomWindow window_;
  RecordingCanvas zo_{641, 180}, zi_{641, 292};
};
