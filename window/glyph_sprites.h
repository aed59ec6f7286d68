// The display's characters drawn once, as images, for one font, colour and
// pixel ratio. Glyphs as large as the display's are filled outline by outline
// at every paint when drawn as text; copying an image costs a fraction of that.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace taborvane::window {

class GlyphSprites {
public:
    // Draws the text as a label aligned top-left would: the first baseline one
    // ascent below topLeft. Characters other than digits and the minus sign
    // are drawn as text. Glyphs wholly outside `area` are skipped.
    void draw(QPainter& painter, QPointF topLeft, const QString& text, const QFont& font, const QColor& colour,
              const QRectF& area = QRectF(QPointF(-1e6, -1e6), QSizeF(2e6, 2e6)));
    // Where the last draw set the pen, from its topLeft, for the glyph at
    // `index`; 0 where that is not known (past its end, or the text was drawn
    // as text), which a repaint from there covers.
    [[nodiscard]] qreal penBefore(qsizetype index) const {
        return index < static_cast<qsizetype>(pens_.size()) ? pens_[static_cast<std::size_t>(index)] : 0;
    }

private:
    struct Sprite {
        QImage image;    // at the device's pixel ratio
        QPointF offset;  // of the image's top-left from the pen on the baseline, in logical pixels
    };
    struct Style {
        QFont font;
        QColor colour;
        qreal pixelRatio = 0;
        int dpi = 0;
        bool operator==(const Style&) const = default;
    };

    [[nodiscard]] const Sprite& sprite(int index, QChar character, const QFontMetricsF& metrics);
    [[nodiscard]] static int IndexOf(QChar character);

    Style style_;
    std::array<std::optional<Sprite>, 11> sprites_;  // '0' to '9', then '-'
    std::vector<qreal> pens_;                        // of each glyph, at the last draw
};

}  // namespace taborvane::window
