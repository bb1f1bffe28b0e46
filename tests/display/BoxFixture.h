// What the box tests share: sample stores in a private folder, a colour
// scheme with a different colour in every slot, and the display options.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "display/ColourScheme.h"
#include "display/DisplayOptions.h"
#include "display/VoiceFacts.h"
#include "store/PcmMMap.h"
#include "support/TempDir.h"

class BoxFixture : public ::testing::Test {
 protected:
  BoxFixture() {
    colours_.Set(KColourSlot::ZI_BackGnd, C(KColourSlot::ZI_BackGnd));
    colours_.Set(KColourSlot::ZO_BackGnd, C(KColourSlot::ZO_BackGnd));
    for (const KColourSlotInfo& info : KColourScheme::Slots()) colours_.Set(info.Slot, C(info.Slot));
  }

  // The colour every slot is given: all twenty differ.
  static KColour C(KColourSlot slot) { return 0x101000 + KColour(slot); }

  static KVoiceFacts Voice(int32_t channels, int32_t bits, int32_t end) {
    KVoiceFacts v;
    v.Channels = channels;
    v.BitsPerSample = bits;
    v.END = end;
    v.ZiStart = end > 0 ? 1 : 0;
    return v;
  }

  // A store with the sample values `values` (channel samples in frame
  // order; 8-bit values are -128..127) in the given width.
  std::unique_ptr<KPcmMMap> Store(int32_t bits, const std::vector<int>& values) {
    auto store = std::make_unique<KPcmMMap>(dir_.Path());
    const int32_t bytes = bits / 8, size = int32_t(values.size()) * bytes;
    EXPECT_TRUE(store->Resize(size > 16 ? size : 16));
    uint8_t* view = store->MapView(0, store->Size());
    EXPECT_NE(view, nullptr);
    for (size_t i = 0; i < values.size(); ++i) Put(view + i * size_t(bytes), bits, values[i]);
    store->UnmapView(view);
    return store;
  }
  static void Put(uint8_t* p, int32_t bits, int value) {
    if (bits == 8) {
      p[0] = uint8_t(value + 128);
    } else {
      p[0] = uint8_t(value & 0xFF);
      p[1] = uint8_t((value >> 8) & 0xFF);
    }
  }

  TempDir dir_;
  KColourScheme colours_{0xC0C0C0};
  KDisplayOptions options_;
};
