#include "glyph_sprites.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace taborvane::window {
namespace {

constexpr int kMinusIndex = 10;

// To whole device pixels, so that every copy lands on the pixel grid and stays sharp.
qreal Snapped(qreal logical, qreal pixelRatio) { return std::round(logical * pixelRatio) / pixelRatio; }

}  // namespace

int GlyphSprites::IndexOf(QChar character) {
    if (character >= u'0' && character <= u'9') return character.unicode() - u'0';
    if (character == u'-') return kMinusIndex;
    return -1;
}

const GlyphSprites::Sprite& GlyphSprites::sprite(int index, QChar character, const QFontMetricsF& metrics) {
    std::optional<Sprite>& slot = sprites_[static_cast<std::size_t>(index)];
    if (slot) return *slot;
    const qreal ratio = style_.pixelRatio;
    // A pixel of room on every side for the antialiased edge.
    const QRectF ink = metrics.boundingRect(character);
    const int left = static_cast<int>(std::floor(ink.left() * ratio)) - 1;
    const int top = static_cast<int>(std::floor(ink.top() * ratio)) - 1;
    const int right = static_cast<int>(std::ceil(ink.right() * ratio)) + 1;
    const int bottom = static_cast<int>(std::ceil(ink.bottom() * ratio)) + 1;
    QImage image(right - left, bottom - top, QImage::Format_ARGB32_Premultiplied);
    // The image measures fonts as the widget does, so a point is as large in both.
    const int dotsPerMeter = static_cast<int>(std::lround(style_.dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const QPointF offset(left / ratio, top / ratio);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(style_.font);
        painter.setPen(style_.colour);
        painter.drawText(-offset, QString(character));
    }
    slot = Sprite{std::move(image), offset};
    return *slot;
}

void GlyphSprites::draw(QPainter& painter, QPointF topLeft, const QString& text, const QFont& font,
                        const QColor& colour, const QRectF& area) {
    const QPaintDevice& device = *painter.device();
    const Style style{font, colour, device.devicePixelRatioF(), device.logicalDpiY()};
    if (!(style == style_)) {
        style_ = style;
        sprites_ = {};
    }
    pens_.clear();
    for (const QChar character : text) {
        if (IndexOf(character) < 0) {
            painter.save();
            painter.setFont(font);
            painter.setPen(colour);
            painter.drawText(QRectF(topLeft, QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop, text);
            painter.restore();
            return;
        }
    }
    const QFontMetricsF metrics(font, &device);
    const qreal ratio = style.pixelRatio;
    const qreal baseline = Snapped(topLeft.y() + metrics.ascent(), ratio);
    qreal pen = topLeft.x();
    for (const QChar character : text) {
        const Sprite& glyph = sprite(IndexOf(character), character, metrics);
        pens_.push_back(pen - topLeft.x());
        const QPointF at = QPointF(Snapped(pen, ratio), baseline) + glyph.offset;
        if (area.intersects(QRectF(at, glyph.image.deviceIndependentSize()))) painter.drawImage(at, glyph.image);
        pen += metrics.horizontalAdvance(character);
    }
}

}  // namespace taborvane::window
