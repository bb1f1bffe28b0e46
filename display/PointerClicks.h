// What a pointer press in the two waveform boxes, the status bar and the
// rate scroll bar does to the current voice, as arithmetic on plain values.
// The window applies the result: it stores the positions and runs the
// redraw steps that are set, in the order they are listed here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class KPointerButton { Left, Right, Middle };

// The voice's positions that a click may move.
struct KClickPositions {
  int32_t END = 0, MKL = 0, MKR = 0, FLG = 0, ZiStart = 0;
};

// The steps to run after a click, in this order.
struct KClickRedraw {
  bool FillZoomIn = false;       // refill the zoom-in window
  bool ZoomInBox = false;        // full redraw of the zoom-in box
  bool OverviewMarks = false;    // recompute the overview's MKL x and MKR x
  bool MarkReadouts = false;     // MKL, MKR and marked-length readouts
  bool OverviewFlag = false;     // recompute the overview's FLG x
  bool FlagReadout = false;      // FLG readout
  bool OverviewPointer = false;  // recompute the overview pointer x
  bool OverviewBox = false;      // full redraw of the overview box
};

struct KClickResult {
  bool Acted = false;  // false: the click changes nothing and nothing is redrawn
  KClickPositions Positions;
  KClickRedraw Redraw;
};

// The interiors of the boxes: zoom-in columns 64..right-1 and rows 17..272,
// overview columns 64..607 and rows 17..144 (mono) or 17..160 (stereo).
constexpr int kBoxInteriorLeft = 64;
constexpr int kBoxInteriorTop = 17;
constexpr int kZoomInInteriorBottom = 272;
constexpr int kOverviewInteriorRight = 607;
constexpr int kOverviewMonoBottom = 144;
constexpr int kOverviewStereoBottom = 160;

// A press in the zoom-in box at (x, y): left sets MKL, right MKR, middle FLG
// at the sample under the pointer (held within 1..END); MKL and MKR are
// exchanged when they cross. `right` is the box's right edge column R,
// `resolution` the pixels per frame. An empty voice is left alone.
KClickResult ZoomInClick(KPointerButton button, int x, int y, int right, int resolution, const KClickPositions& voice);

// A press in the overview at (x, y): the left button moves ZiStart to the
// frame under the pointer, on the multiples of END div 543. Other buttons,
// and any press on an empty voice, do nothing.
KClickResult OverviewClick(KPointerButton button, int x, int y, bool stereo, const KClickPositions& voice);

// Whether a press at x in the status bar lies inside the alias panel.
bool InAliasPanel(int x);
// The alias prompt: its label and the length of its edit line.
constexpr std::string_view kAliasPromptLabel = "Please enter a new alias name for current voice";
constexpr size_t kAliasLimit = 19;
// The alias an accepted prompt text gives: its first 19 bytes, shortened so
// that no UTF-8 character is cut in two.
std::string AcceptedAlias(std::string_view typed);

// A change of the rate scroll bar: the rate its position stands for (rounded
// down to a multiple of 25, held within 2100..44100). Acted is false while the
// voices do not exist yet or the current voice is empty.
struct KRateChange {
  bool Acted = false;
  int32_t Rate = 0;
};
KRateChange RateFromScrollBar(int32_t position, bool voicesExist, int32_t end);
