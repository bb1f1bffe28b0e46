// What a pointer press in the two waveform boxes, the status bar and the
// rate scroll bar does to the current voice, as arithmetic on plain values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class KPointerButton { Left, Right, Middle };

// The interiors of the boxes: zoom-in columns 64..right-1 and rows 17..272,
// overview columns 64..607 and rows 17..144 (mono) or 17..160 (stereo).
constexpr int kBoxInteriorLeft = 64;
constexpr int kBoxInteriorTop = 17;
constexpr int kZoomInInteriorBottom = 272;
constexpr int kOverviewInteriorRight = 607;
constexpr int kOverviewMonoBottom = 144;
constexpr int kOverviewStereoBottom = 160;

// The sample position under a press in the zoom-in box at (x, y), before it
// is held within the voice (the marker commands do that); none outside the
// interior. `right` is the box's right edge column R, `resolution` the pixels
// per frame.
std::optional<int32_t> ZoomInPosition(int x, int y, int right, int resolution, int32_t ziStart);

// The zoom-in start a press in the overview at (x, y) moves to: the left
// button only, on the multiples of END div 543, at least 1. None for other
// buttons, outside the interior and on an empty voice.
std::optional<int32_t> OverviewStart(KPointerButton button, int x, int y, bool stereo, int32_t end);

// Whether a press at x in the status bar lies inside the alias panel.
bool InAliasPanel(int x);
// The alias prompt: its label and the length of its edit line.
constexpr std::string_view kAliasPromptLabel = "Please enter a new alias name for current voice";
constexpr size_t kAliasLimit = 19;
