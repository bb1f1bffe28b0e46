// The program's pictures: a glyph for each push button, the bank buttons'
// images and the product logo, drawn as SVG files (resources/artwork) and
// compiled in. Icons render their SVG at the size and device pixel ratio
// they are asked for, so they stay crisp on high-density screens.
#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

enum class KGlyph {
  Copy,
  PasteByInsert,
  PasteByMix,
  CutMarked,
  CutUnmarked,
  PlayAll,
  PlayFlg,
  PlayMarked,
  Resolution,
  Mode,
  Record,
  End,
  Mkl,
  Mkr,
  Flg,
  Marked,
  Logo,
};
constexpr int kGlyphCount = int(KGlyph::Logo) + 1;

// The size the glyph is drawn for, in logical pixels.
QSize GlyphSize(KGlyph glyph);
QIcon GlyphIcon(KGlyph glyph);
// The glyph as an image of `size` pixels with a transparent background.
QImage GlyphImage(KGlyph glyph, QSize size);

// The bank buttons' 28-pixel-wide images.
constexpr QSize kBankImageSize{28, 16};
// A bank button's icon: image 0 (the normal look) when off, image 1 (the
// selected look) when on, with the hover look laid over either in the
// Active mode. A bank holding a voice shows a waveform, an empty one a flat
// dotted line.
QIcon BankIcon(bool holdsVoice);
