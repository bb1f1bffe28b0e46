#include "display/PointerClicks.h"

#include <algorithm>
#include <utility>

#include "display/Readouts.h"
#include "display/VoiceView.h"

namespace {

// The overview maps its 544 columns onto multiples of END div 543.
constexpr int32_t kOverviewSteps = 543;

int32_t ClampToVoice(int32_t p, int32_t end) { return std::clamp(p, int32_t(1), end); }

KClickRedraw MarkRedraw() {
  KClickRedraw redraw;
  redraw.FillZoomIn = redraw.ZoomInBox = true;
  redraw.OverviewMarks = redraw.MarkReadouts = true;
  redraw.OverviewBox = true;
  return redraw;
}

KClickRedraw FlagRedraw() {
  KClickRedraw redraw;
  redraw.FillZoomIn = redraw.ZoomInBox = true;
  redraw.OverviewFlag = redraw.FlagReadout = true;
  redraw.OverviewBox = true;
  return redraw;
}

}  // namespace

KClickResult ZoomInClick(KPointerButton button, int x, int y, int right, int resolution, const KClickPositions& voice) {
  KClickResult result;
  result.Positions = voice;
  if (voice.END < 1) return result;
  if (x < kBoxInteriorLeft || x > right - 1 || y < kBoxInteriorTop || y > kZoomInInteriorBottom) return result;
  // The +1 moves each frame's boundary one pixel to the left.
  const int32_t p = ClampToVoice(voice.ZiStart + (x - kBoxInteriorLeft + 1) / std::max(resolution, 1), voice.END);
  KClickPositions& out = result.Positions;
  switch (button) {
    case KPointerButton::Left:
      out.MKL = p;
      if (out.MKR < out.MKL) std::swap(out.MKL, out.MKR);
      break;
    case KPointerButton::Right:
      out.MKR = p;
      if (out.MKR < out.MKL) std::swap(out.MKL, out.MKR);
      break;
    case KPointerButton::Middle:
      out.FLG = p;
      result.Redraw = FlagRedraw();
      result.Acted = true;
      return result;
  }
  // Both stay within the voice: on an unmarked voice (MKL = MKR = 0) the
  // exchange would otherwise leave MKL at 0.
  out.MKL = ClampToVoice(out.MKL, out.END);
  out.MKR = ClampToVoice(out.MKR, out.END);
  result.Redraw = MarkRedraw();
  result.Acted = true;
  return result;
}

KClickResult OverviewClick(KPointerButton button, int x, int y, bool stereo, const KClickPositions& voice) {
  KClickResult result;
  result.Positions = voice;
  if (button != KPointerButton::Left || voice.END < 1) return result;
  const int bottom = stereo ? kOverviewStereoBottom : kOverviewMonoBottom;
  if (x < kBoxInteriorLeft || x > kOverviewInteriorRight || y < kBoxInteriorTop || y > bottom) return result;
  // Division first: a voice shorter than 543 frames always starts at 1. The
  // start never passes END, as x - 64 is at most 543.
  const int32_t start = (voice.END / kOverviewSteps) * (x - kBoxInteriorLeft);
  result.Positions.ZiStart = std::max(start, int32_t(1));
  result.Redraw.FillZoomIn = result.Redraw.ZoomInBox = true;
  result.Redraw.OverviewPointer = result.Redraw.OverviewBox = true;
  result.Acted = true;
  return result;
}

bool InAliasPanel(int x) { return x > kFilePanelWidth && x < kFilePanelWidth + kAliasPanelWidth; }

std::string AcceptedAlias(std::string_view typed) {
  size_t length = std::min(typed.size(), kAliasLimit);
  // Back off over continuation bytes (10xxxxxx) so the cut falls before a character.
  if (length < typed.size())
    while (length > 0 && (static_cast<unsigned char>(typed[length]) & 0xC0) == 0x80) --length;
  return std::string(typed.substr(0, length));
}

KRateChange RateFromScrollBar(int32_t position, bool voicesExist, int32_t end) {
  KRateChange change;
  if (!voicesExist || end < 1) return change;
  change.Rate = NormaliseRate(position);
  change.Acted = true;
  return change;
}
