#include "display/paint/ImageCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "display/paint/Icons.h"

QRgb ToQRgb(KColour colour) { return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)); }

KColour FromQRgb(QRgb rgb) { return KColour(qRed(rgb)) | KColour(qGreen(rgb)) << 8 | KColour(qBlue(rgb)) << 16; }

namespace {

// Columns l..r-1 of rows t..b-1 cut to a w x h image; empty when l >= r or t >= b.
struct KSpan {
  int l, t, r, b;
  bool Empty() const { return l >= r || t >= b; }
};

KSpan Clip(int64_t l, int64_t t, int64_t r, int64_t b, int w, int h) {
  return {int(std::max<int64_t>(l, 0)), int(std::max<int64_t>(t, 0)), int(std::min<int64_t>(r, w)),
          int(std::min<int64_t>(b, h))};
}

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

KImageCanvas::KImageCanvas(int width, int height, KColour fill)
    : owned_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32), image_(&owned_) {
  owned_.fill(ToQRgb(fill));
}

KImageCanvas::KImageCanvas(QImage& image) : image_(&image) {
  if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
}

// Bresenham's line, stepping along the longer axis from the start; the other
// axis follows by rounding, halfway cases staying on the start's side. The
// minor offset of step i is floor((2 i minor + major - 1) / (2 major)); only
// the steps whose major coordinate lies inside the image are walked.
void KImageCanvas::Line(int x0, int y0, int x1, int y1, KColour colour) {
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t major = xMajor ? std::abs(dx) : std::abs(dy), minor = xMajor ? std::abs(dy) : std::abs(dx);
  if (major == 0) return;
  const int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
  const int majorDir = (xMajor ? dx : dy) > 0 ? 1 : -1, minorDir = (xMajor ? dy : dx) >= 0 ? 1 : -1;
  const int64_t majorSize = xMajor ? Width() : Height(), minorSize = xMajor ? Height() : Width();

  // Steps first..last (inclusive) keep the major coordinate on the image.
  int64_t first = majorDir > 0 ? -majorStart : majorStart - (majorSize - 1);
  int64_t last = majorDir > 0 ? majorSize - 1 - majorStart : majorStart;
  first = std::max<int64_t>(first, 0);
  last = std::min(last, major - 1);
  if (first > last) return;

  // first * minor < 2^64 since both are below 2^32; split it so that nothing overflows.
  const uint64_t product = uint64_t(first) * uint64_t(minor);
  const uint64_t twoMajor = 2 * uint64_t(major), rest = 2 * (product % uint64_t(major)) + uint64_t(major) - 1;
  int64_t offset = int64_t(product / uint64_t(major) + rest / twoMajor);
  uint64_t remainder = rest % twoMajor;

  const QRgb rgb = ToQRgb(colour);
  for (int64_t i = first; i <= last; ++i) {
    const int64_t a = majorStart + majorDir * i, b = minorStart + minorDir * offset;
    if (b >= 0 && b < minorSize) {
      if (xMajor)
        row(int(b))[a] = rgb;
      else
        row(int(a))[b] = rgb;
    }
    remainder += 2 * uint64_t(minor);
    if (remainder >= twoMajor) {
      remainder -= twoMajor;
      ++offset;
    }
  }
}

void KImageCanvas::FillRect(int l, int t, int r, int b, KColour colour) {
  const KSpan span = Clip(l, t, r, b, Width(), Height());
  if (span.Empty()) return;
  const QRgb rgb = ToQRgb(colour);
  for (int y = span.t; y < span.b; ++y) std::fill(row(y) + span.l, row(y) + span.r, rgb);
}

void KImageCanvas::FillTiled(int l, int t, int r, int b, const KTile& tile) {
  const KSpan span = Clip(l, t, r, b, Width(), Height());
  if (span.Empty()) return;
  QRgb pattern[8][8];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern[y][x] = ToQRgb(tile.At(x, y));
  for (int y = span.t; y < span.b; ++y) {
    QRgb* line = row(y);
    for (int x = span.l; x < span.r; ++x) line[x] = pattern[y & 7][x & 7];
  }
}

// Copies the icon's opaque pixels; its transparent ones leave the image as it is.
void KImageCanvas::DrawIcon(KIcon icon, int x, int y) {
  const QImage& image = IconImage(icon);
  const KSpan span = Clip(x, y, int64_t(x) + image.width(), int64_t(y) + image.height(), Width(), Height());
  if (span.Empty()) return;
  for (int py = span.t; py < span.b; ++py) {
    const QRgb* source = reinterpret_cast<const QRgb*>(image.constScanLine(py - y));
    QRgb* line = row(py);
    for (int px = span.l; px < span.r; ++px)
      if (qAlpha(source[px - x]) != 0) line[px] = source[px - x];
  }
}

void KImageCanvas::Text(int x, int y, std::string_view text, KColour colour, KColour back) {
  if (text.empty() || x >= Width() || y >= Height()) return;
  const QFont font = BoxFont();
  const QString string = ToQString(text);
  const QFontMetrics metrics(font);
  const QRect box(x, y, metrics.horizontalAdvance(string), metrics.height());
  QPainter painter(image_);
  // Glyphs that overhang their cell are cut off, as the opaque box is all the text may cover.
  painter.setClipRect(box);
  painter.fillRect(box, QColor::fromRgb(ToQRgb(back)));
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(ToQRgb(colour)));
  painter.drawText(x, y + metrics.ascent(), string);
}

KColour KImageCanvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return kNoPixel;
  return FromQRgb(image_->pixel(x, y));
}

QFont KImageCanvas::BoxFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QSize KImageCanvas::TextExtent(std::string_view text) {
  if (text.empty()) return {};
  const QFontMetrics metrics(BoxFont());
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}
