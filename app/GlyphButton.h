// KGlyphButton: a push button that shows its glyph (the icon) above its
// caption, the glyph at its icon size or smaller when the button leaves
// less room.
#pragma once

#include <QPushButton>

class KGlyphButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
