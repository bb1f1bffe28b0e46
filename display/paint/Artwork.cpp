#include "display/paint/Artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>
#include <memory>

namespace {

// The files under the resource prefix /artwork, in the order of KGlyph.
constexpr std::array<const char*, kGlyphCount> kGlyphFiles = {
    "copy",     "paste-insert", "paste-mix",  "cut-marked", "cut-unmarked", "play-all",
    "play-flg", "play-marked",  "resolution", "mode",       "record",       "end",
    "mkl",      "mkr",          "flg",        "marked",     "logo"};

using KPicture = std::shared_ptr<QSvgRenderer>;

KPicture Load(const char* name) {
  return std::make_shared<QSvgRenderer>(QString(":/artwork/%1.svg").arg(QLatin1String(name)));
}

// The pictures of one icon, drawn one above the other: the image for the
// off or on state, the hover look in the Active mode, then the content.
struct KLayers {
  KPicture Off, On, Hover, Content;
};

class KArtworkEngine final : public QIconEngine {
 public:
  explicit KArtworkEngine(KLayers layers) : layers_(std::move(layers)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->save();
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    const QRectF area(rect);
    for (const KPicture& layer : {state == QIcon::On ? layers_.On : layers_.Off,
                                  mode == QIcon::Active ? layers_.Hover : KPicture(), layers_.Content})
      if (layer) layer->render(painter, area);
    painter->restore();
  }

  // Called with the size in device pixels, so the SVG is drawn at the
  // screen's own density.
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }

  QIconEngine* clone() const override { return new KArtworkEngine(*this); }
  QString key() const override { return "KArtworkEngine"; }

 private:
  KLayers layers_;
};

KPicture Glyph(KGlyph glyph) { return Load(kGlyphFiles[size_t(glyph)]); }

}  // namespace

QSize GlyphSize(KGlyph glyph) { return Glyph(glyph)->defaultSize(); }

QIcon GlyphIcon(KGlyph glyph) {
  const KPicture picture = Glyph(glyph);
  return QIcon(new KArtworkEngine({picture, picture, nullptr, nullptr}));
}

QImage GlyphImage(KGlyph glyph, QSize size) { return GlyphIcon(glyph).pixmap(size, 1.0).toImage(); }

QIcon BankIcon(bool holdsVoice) {
  return QIcon(new KArtworkEngine({Load("bank-normal"), Load("bank-selected"), Load("bank-hover"),
                                   Load(holdsVoice ? "bank-voice" : "bank-empty")}));
}
