#include "display/PointerClicks.h"

#include <algorithm>
#include <utility>

#include "display/VoiceView.h"

namespace {

// The overview maps its 544 columns onto multiples of END div 543.
constexpr int32_t kOverviewSteps = 543;

}  // namespace

std::optional<int32_t> ZoomInPosition(int x, int y, int right, int resolution, int32_t ziStart) {
  if (x < kBoxInteriorLeft || x > right - 1 || y < kBoxInteriorTop || y > kZoomInInteriorBottom) return std::nullopt;
  // The +1 moves each frame's boundary one pixel to the left.
  return int32_t(int64_t(ziStart) + (x - kBoxInteriorLeft + 1) / std::max(resolution, 1));
}

std::optional<int32_t> OverviewStart(KPointerButton button, int x, int y, bool stereo, int32_t end) {
  if (button != KPointerButton::Left || end < 1) return std::nullopt;
  const int bottom = stereo ? kOverviewStereoBottom : kOverviewMonoBottom;
  if (x < kBoxInteriorLeft || x > kOverviewInteriorRight || y < kBoxInteriorTop || y > bottom) return std::nullopt;
  // Division first: a voice shorter than 543 frames always starts at 1. The
  // start never passes END, as x - 64 is at most 543.
  return std::max((end / kOverviewSteps) * (x - kBoxInteriorLeft), int32_t(1));
}

bool InAliasPanel(int x) { return x > kFilePanelWidth && x < kFilePanelWidth + kAliasPanelWidth; }
