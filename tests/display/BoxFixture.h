// What the display tests share: a canvas that records every call and paints
// lines and fills into a pixel grid, a view that records what it is shown,
// sample stores and a colour scheme with a different colour in every slot.
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
#include "display/DisplayOptions.h"
#include "display/VoiceFacts.h"
#include "display/VoiceView.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

class RecordingCanvas : public KCanvas {
 public:
  enum class Kind { Line, Fill, Tiled, Icon, Text };
  struct Call {
    Kind What;
    int A, B, C, D;  // line: x0 y0 x1 y1; fills: l t r b; icon and text: x y
    KColour Colour = 0;
    KIcon Icon = KIcon::MKL;
    std::string Text{};
    std::array<int, 4> Box() const { return {A, B, C, D}; }
    bool operator==(const Call&) const = default;
  };

  RecordingCanvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width * height), ~0u) {}

  void Line(int x0, int y0, int x1, int y1, KColour colour) override {
    Calls.push_back({Kind::Line, x0, y0, x1, y1, colour});
    // Bresenham from (x0, y0), stopping before (x1, y1).
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy, x = x0, y = y0; x != x1 || y != y1;) {
      Put(x, y, colour);
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x += sx;
      if (e2 <= dx) err += dx, y += sy;
    }
  }
  void FillRect(int l, int t, int r, int b, KColour colour) override {
    Calls.push_back({Kind::Fill, l, t, r, b, colour});
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, colour);
  }
  void FillTiled(int l, int t, int r, int b, const KTile& tile) override {
    Calls.push_back({Kind::Tiled, l, t, r, b});
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, tile.At(x, y));
  }
  void DrawIcon(KIcon icon, int x, int y) override { Calls.push_back({Kind::Icon, x, y, 0, 0, 0, icon}); }
  void Text(int x, int y, std::string_view text, KColour colour, KColour) override {
    Calls.push_back({Kind::Text, x, y, 0, 0, colour, KIcon::MKL, std::string(text)});
  }

  KColour At(int x, int y) const { return Inside(x, y) ? pixels_[size_t(y * width_ + x)] : ~0u; }
  bool Painted(KColour colour) const { return std::find(pixels_.begin(), pixels_.end(), colour) != pixels_.end(); }
  std::vector<Call> Of(Kind kind) const {
    std::vector<Call> out;
    std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(out), [&](const Call& c) { return c.What == kind; });
    return out;
  }
  // The lines drawn in `colour` as x0 y0 x1 y1; the icons as kind, x, y.
  std::vector<std::array<int, 4>> LinesIn(KColour colour) const {
    std::vector<std::array<int, 4>> out;
    for (const Call& c : Of(Kind::Line))
      if (c.Colour == colour) out.push_back(c.Box());
    return out;
  }
  std::vector<int> Icons() const {
    std::vector<int> out;
    for (const Call& c : Of(Kind::Icon)) out.insert(out.end(), {int(c.Icon), c.A, c.B});
    return out;
  }
  // The first and last row of column x holding `colour`.
  std::pair<int, int> RowsIn(int x, KColour colour) const {
    int first = -1, last = -1;
    for (int y = 0; y < height_; ++y)
      if (At(x, y) == colour) last = y, first = first < 0 ? y : first;
    return {first, last};
  }

  std::vector<Call> Calls;

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void Put(int x, int y, KColour colour) {
    if (Inside(x, y)) pixels_[size_t(y * width_ + x)] = colour;
  }

  int width_, height_;
  std::vector<KColour> pixels_;
};

// Keeps every call in order as "what=text", the bank images, messages and the Undo item.
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
    Log.push_back("Undo=" + (Undo = std::string(caption) + (enabled ? "|on" : "|off")));
  }
  void SetBankImage(int bank, int imageIndex) override { Banks[bank] = imageIndex; }
  void SetRecordProgress(int percent) override { Log.push_back("Record=" + std::to_string(percent)); }
  void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }

  std::vector<std::string> Log, Messages;
  std::map<int, int> Banks;
  std::string Undo;
};

class BoxFixture : public ::testing::Test {
 protected:
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

  TempDir dir_;
  KColourScheme colours_{0xC0C0C0};
  KDisplayOptions options_;
};
