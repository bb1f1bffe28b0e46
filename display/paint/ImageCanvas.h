// KImageCanvas: the box primitives drawn into an off-screen RGB32 image with
// the window system's rules: lines leave out their end pixel, rectangles their
// right and bottom edges, tiles are aligned to the image origin, icons keep
// their background unpainted. Everything is clipped to the image, so any
// coordinates are safe.
#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <string>
#include <string_view>

#include "display/Canvas.h"

// The one conversion between a KColour (0x00BBGGRR) and Qt's opaque 0xAARRGGBB.
QRgb ToQRgb(KColour colour);
KColour FromQRgb(QRgb rgb);

class KImageCanvas : public KCanvas {
 public:
  // What PixelAt answers outside the image; no KColour has a high byte.
  static constexpr KColour kNoPixel = 0xFFFFFFFF;

  // A fresh image of the given size (negative sizes count as 0), filled once with `fill`.
  KImageCanvas(int width, int height, KColour fill);
  // Draws into `image`, which the caller keeps and which must outlive the
  // canvas; an image of another format is converted to RGB32 first.
  explicit KImageCanvas(QImage& image);
  KImageCanvas(const KImageCanvas&) = delete;
  KImageCanvas& operator=(const KImageCanvas&) = delete;

  void Line(int x0, int y0, int x1, int y1, KColour colour) override;
  void FillRect(int l, int t, int r, int b, KColour colour) override;
  void FillTiled(int l, int t, int r, int b, const KTile& tile) override;
  void DrawIcon(KIcon icon, int x, int y) override;
  void Text(int x, int y, std::string_view text, KColour colour, KColour back) override;

  int Width() const { return image_->width(); }
  int Height() const { return image_->height(); }
  const QImage& Image() const { return *image_; }
  // The colour of pixel (x, y), or kNoPixel outside the image.
  KColour PixelAt(int x, int y) const;
  // Writes the image as a PNG file; a failure says why.

  // The box font: the system's default sans-serif at 11 pixels, drawn without
  // smoothing as the bitmap font it stands for.
  static QFont BoxFont();
  // The size of the opaque box that Text fills for `text`.
  static QSize TextExtent(std::string_view text);

 private:
  QRgb* row(int y) { return reinterpret_cast<QRgb*>(image_->scanLine(y)); }

  QImage owned_;
  QImage* image_;
};
