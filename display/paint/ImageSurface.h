// KImageSurface: a waveform box drawn into an off-screen image, for the
// window (which shows the image in its paint box) and for tests.
#pragma once

#include <functional>

#include "display/Display.h"
#include "display/paint/ImageCanvas.h"

class KImageSurface final : public KBoxSurface {
 public:
  // A fresh image is filled once with the panel colour: the boxes' own
  // whole-box fill leaves the last column and row alone.
  KImageSurface(int width, int height, KColour panel) : canvas_(width, height, panel) {}

  KCanvas& Canvas() override { return canvas_; }
  int Width() const override { return canvas_.Width(); }
  int Height() const override { return canvas_.Height(); }
  void Changed() override {
    if (OnChange) OnChange();
  }

  const KImageCanvas& Image() const { return canvas_; }
  // Called after every drawing (the window schedules a repaint).
  std::function<void()> OnChange;

 private:
  KImageCanvas canvas_;
};
