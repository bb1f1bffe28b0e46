// KDisplay: the display state one run shares among all its voices: the
// display options, the colour scheme, the view that shows the readouts and
// the two surfaces the waveform boxes are drawn on. The window owns the view
// and the surfaces; tests build their own. Without them nothing is drawn.
#pragma once

#include "display/Canvas.h"
#include "display/ColourScheme.h"
#include "display/DisplayOptions.h"
#include "display/VoiceView.h"

// Where one waveform box is drawn: a canvas of the box's size.
class KBoxSurface {
 public:
  virtual ~KBoxSurface() = default;
  virtual KCanvas& Canvas() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // The drawing changed; the window puts it on screen at its next paint.
  virtual void Changed() {}
};

struct KDisplay {
  // The sizes of the two boxes in the main window.
  static constexpr int kBoxWidth = 643, kZoomInHeight = 292, kOverviewHeight = 180;

  explicit KDisplay(KColour buttonFace) : Colours(buttonFace) {}

  KDisplayOptions Options;
  KColourScheme Colours;
  KVoiceView* View = nullptr;
  KBoxSurface* ZoomIn = nullptr;
  KBoxSurface* Overview = nullptr;
};
