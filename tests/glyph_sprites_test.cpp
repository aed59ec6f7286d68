// The display's sprites against the same text drawn by Qt, at the window's
// sizes and pixel ratios: every glyph whole, in its place, in its colour.
#include <QColor>
#include <QFont>
#include <QTest>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <vector>

#include "window/design.h"
#include "window/fonts.h"
#include "window/glyph_sprites.h"

using namespace taborvane::window;

namespace {

constexpr QColor kPaper{192, 192, 0};

QImage Canvas(QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(kPaper);
    return image;
}

// How much each column and row differs from the paper, summed, as running totals.
struct Ink {
    std::vector<double> columns, rows;
    double total = 0;
};

Ink InkOf(const QImage& image) {
    Ink ink{std::vector<double>(static_cast<std::size_t>(image.width())),
            std::vector<double>(static_cast<std::size_t>(image.height())), 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const double away = std::abs(pixel.red() - kPaper.red()) + std::abs(pixel.green() - kPaper.green()) +
                                std::abs(pixel.blue() - kPaper.blue());
            ink.columns[static_cast<std::size_t>(x)] += away;
            ink.rows[static_cast<std::size_t>(y)] += away;
            ink.total += away;
        }
    return ink;
}

// The largest gap between two running totals, as a share of all the ink: a
// glyph half a pixel off moves little, a glyph missing or out of place moves
// a tenth of it.
double LargestGap(const std::vector<double>& a, const std::vector<double>& b, double total) {
    double runningA = 0, runningB = 0, largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        runningA += a[i];
        runningB += b[i];
        largest = std::max(largest, std::abs(runningA - runningB));
    }
    return largest / total;
}

}  // namespace

class GlyphSpritesTest : public QObject {
    Q_OBJECT

private slots:

    void drawsWhatQtWouldDraw_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<double>("ratioBefore");  // the same sprites drew there first; 0: new sprites
        for (const char* text : {"-2147483648", "777", "1234567890", "000000000"})
            for (const double scale : {1.0, 1.5})
                for (const double ratio : {1.0, 2.0})
                    QTest::addRow("%s at scale %.1f, pixel ratio %.0f", text, scale, ratio)
                        << QString::fromLatin1(text) << scale << ratio << QColor(Qt::black) << 0.0;
        QTest::newRow("in the palette's colour") << QStringLiteral("-90") << 1.0 << 1.0 << QColor(Qt::white) << 0.0;
        QTest::newRow("other characters drawn as text")
            << QStringLiteral("1e+5") << 1.0 << 1.0 << QColor(Qt::black) << 0.0;
        // The window dragged from one screen to another of a different pixel ratio.
        QTest::newRow("moved from a 1x screen to a 2x one")
            << QStringLiteral("-2147483648") << 1.0 << 2.0 << QColor(Qt::black) << 1.0;
        QTest::newRow("moved from a 2x screen to a 1x one")
            << QStringLiteral("-2147483648") << 1.0 << 1.0 << QColor(Qt::black) << 2.0;
    }
    void drawsWhatQtWouldDraw() {
        QFETCH(QString, text);
        QFETCH(double, scale);
        QFETCH(double, ratio);
        QFETCH(QColor, colour);
        QFETCH(double, ratioBefore);
        const QFont font = FontFor(FontRole::Display, scale);
        const QSize box = (QSizeF(11175.0 / kTwipsPerPixel, 2535.0 / kTwipsPerPixel) * scale).toSize();
        QImage expected = Canvas(box, ratio), drawn = Canvas(box, ratio);
        {
            QPainter painter(&expected);
            painter.setFont(font);
            painter.setPen(colour);
            painter.drawText(QRect(QPoint(), box), Qt::AlignLeft | Qt::AlignTop, text);
        }
        GlyphSprites sprites;
        if (ratioBefore > 0) {
            QImage before = Canvas(box, ratioBefore);
            QPainter painter(&before);
            sprites.draw(painter, QPointF(), text, font, colour);
        }
        for (int paint = 0; paint < 2; ++paint) {  // the second paint copies what the first one drew
            drawn.fill(kPaper);
            QPainter painter(&drawn);
            sprites.draw(painter, QPointF(), text, font, colour);
        }
        if (ratioBefore > 0) {
            // Exactly as sprites made at this ratio would draw.
            QImage fresh = Canvas(box, ratio);
            QPainter painter(&fresh);
            GlyphSprites().draw(painter, QPointF(), text, font, colour);
            painter.end();
            QVERIFY(drawn == fresh);
        }
        const Ink want = InkOf(expected), got = InkOf(drawn);
        QVERIFY(want.total > 0);
        QVERIFY2(std::abs(got.total - want.total) / want.total < 0.02,
                 qPrintable(QStringLiteral("ink %1 against %2").arg(got.total).arg(want.total)));
        QVERIFY2(LargestGap(want.columns, got.columns, want.total) < 0.01, "glyphs out of place across");
        QVERIFY2(LargestGap(want.rows, got.rows, want.total) < 0.01, "glyphs out of place up or down");
        // Sharp: copied on the pixel grid, so as many pixels are fully inked as Qt inks.
        const auto solid = [&colour](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
            return count;
        };
        QVERIFY(solid(drawn) >= solid(expected) * 0.97);
    }

    // What the sprites keep of where they set the pen is the last paint's, and no more:
    // a paint a frame for hours must not pile it up, nor a repaint read an earlier one.
    void keepThePensOfTheLastPaintOnly_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<double>("scaleBefore");
        QTest::addColumn<QString>("text");  // then painted a frame's worth of times
        QTest::newRow("shorter text") << QStringLiteral("-2147483648") << 1.0 << QStringLiteral("12");
        QTest::newRow("same text, smaller font") << QStringLiteral("777") << 1.5 << QStringLiteral("777");
        // Drawn as text, it leaves no pen known: a repaint from there covers all.
        QTest::newRow("digits, then drawn as text") << QStringLiteral("905") << 1.0 << QStringLiteral("1e+5");
    }
    void keepThePensOfTheLastPaintOnly() {
        QFETCH(QString, before);
        QFETCH(double, scaleBefore);
        QFETCH(QString, text);
        constexpr int kFrames = 600;
        const QFont font = FontFor(FontRole::Display, 1.0);
        QImage canvas = Canvas(QSize(900, 200), 1.0);
        QPainter painter(&canvas);
        GlyphSprites sprites;
        sprites.draw(painter, QPointF(), before, FontFor(FontRole::Display, scaleBefore), Qt::black);
        for (int frame = 0; frame < kFrames; ++frame) sprites.draw(painter, QPointF(), text, font, Qt::black);
        const bool drawnAsText = text.contains(u'e');
        const QFontMetricsF metrics(font, &canvas);
        qreal pen = 0;
        for (qsizetype i = 0; i < before.size() + kFrames * text.size(); ++i) {
            const qreal expected = i < text.size() && !drawnAsText ? pen : 0.0;
            QVERIFY2(qFuzzyCompare(1 + sprites.penBefore(i), 1 + expected),
                     qPrintable(QStringLiteral("glyph %1: %2, not %3").arg(i).arg(sprites.penBefore(i)).arg(expected)));
            if (i < text.size()) pen += metrics.horizontalAdvance(text[i]);
        }
    }
};

QTEST_MAIN(GlyphSpritesTest)
#include "glyph_sprites_test.moc"
