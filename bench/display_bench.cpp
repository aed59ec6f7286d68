// One paint of the display's text: from the glyph sprites, against Qt drawing
// the same text, whose glyphs this large it fills outline by outline.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "window/design.h"
#include "window/fonts.h"
#include "window/glyph_sprites.h"

namespace taborvane::window {
namespace {

const QSize kDisplaySize(11175 / kTwipsPerPixel, 2535 / kTwipsPerPixel);
const QColor kText(0, 0, 0);

template <typename Draw>
void PaintLoop(benchmark::State& state, Draw draw) {
    QImage canvas(kDisplaySize, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(kBackground);
    for (auto _ : state) {
        QPainter painter(&canvas);
        draw(painter);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DisplayFromSprites(benchmark::State& state, const char* text) {
    const QFont font = FontFor(FontRole::Display, 1.0);
    const QString value = QString::fromLatin1(text);
    GlyphSprites sprites;
    PaintLoop(state, [&](QPainter& painter) { sprites.draw(painter, QPointF(), value, font, kText); });
}

void BM_DisplayAsText(benchmark::State& state, const char* text) {
    const QFont font = FontFor(FontRole::Display, 1.0);
    const QString value = QString::fromLatin1(text);
    PaintLoop(state, [&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(kText);
        painter.drawText(QRect(QPoint(), kDisplaySize), Qt::AlignLeft | Qt::AlignTop, value);
    });
}

BENCHMARK_CAPTURE(BM_DisplayFromSprites, five_digits, "-23878");
BENCHMARK_CAPTURE(BM_DisplayAsText, five_digits, "-23878");
BENCHMARK_CAPTURE(BM_DisplayFromSprites, widest, "-2147483648");
BENCHMARK_CAPTURE(BM_DisplayAsText, widest, "-2147483648");

}  // namespace
}  // namespace taborvane::window

int main(int argc, char* argv[]) {
    // Fonts need an application; painting into an image needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
