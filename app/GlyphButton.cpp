#include "app/GlyphButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kMargin = 2;
}  // namespace

void KGlyphButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  // The style draws the frame and the focus; the glyph and caption are placed here.
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButton, option);

  // Inside the frame, with the least margin the style's frame needs.
  const QRect inner = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const int captionHeight = fontMetrics().height();
  const QRect caption(inner.left(), inner.bottom() + 1 - captionHeight, inner.width(), captionHeight);
  const QRect room(inner.left(), inner.top(), inner.width(), caption.top() - inner.top());
  QSize size = iconSize();
  if (size.width() > room.width() || size.height() > room.height()) size.scale(room.size(), Qt::KeepAspectRatio);
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  icon().paint(&painter, QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size, room), Qt::AlignCenter, mode,
               isChecked() ? QIcon::On : QIcon::Off);
  painter.drawItemText(caption, Qt::AlignCenter, palette(), isEnabled(), text(), QPalette::ButtonText);
}
