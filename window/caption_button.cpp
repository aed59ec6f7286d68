#include "caption_button.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QStylePainter>
#include <algorithm>
#include <cmath>

namespace taborvane::window {
namespace {

constexpr int kClearRows = 1;  // device rows kept free between the ink and the contents' edge, above and below

// A rectangle of the same centre, tall enough to hold any line box whole,
// so that the style's own clip to it cuts nothing.
QRect Grown(const QRect& area) { return area.adjusted(0, -area.height(), 0, area.height()); }

}  // namespace

CaptionButton::CaptionButton(const QString& text, QWidget* parent) : QPushButton(text, parent), captions_{text} {}

void CaptionButton::shareBaselineWith(const QStringList& captions) {
    captions_ = captions;
    measuredFor_.reset();
    update();
}

QRect CaptionButton::contents() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

// The whole device rows inside the contents: a row it covers only in part is partly frame.
CaptionButton::Rows CaptionButton::contentRows() const {
    const QRect area = contents();
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::ceil(area.top() * ratio)),
            static_cast<int>(std::floor((area.bottom() + 1) * ratio)) - 1};
}

// The caption as the style draws it at rest: a style that moves a pressed caption still does.
QStyleOptionButton CaptionButton::labelOption(const QFont& font) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On);
    option.fontMetrics = QFontMetrics(font, this);
    option.rect = Grown(contents());
    return option;
}

// Where the ink of all the captions lands, drawn by the style in that font
// and moved down `shift` device rows, in device rows of the button.
CaptionButton::Rows CaptionButton::inkRows(const QFont& font, int shift) const {
    const qreal ratio = devicePixelRatioF();
    const int rows = static_cast<int>(std::ceil(height() * ratio));
    // A button's height of room above and below, in whole device rows, so
    // that glyphs meet the pixels as they do in the button.
    QImage image(static_cast<int>(std::ceil(width() * ratio)), 3 * rows, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.translate(0, (rows + shift) / ratio);
        QStyleOptionButton option = labelOption(font);
        for (const QString& caption : captions_) {
            option.text = caption;
            style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, this);
        }
    }
    Rows ink;
    bool found = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::none_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; })) continue;
        if (!found) ink.first = y - rows;
        ink.last = y - rows;
        found = true;
    }
    return ink;
}

double CaptionButton::captionFit(const QFont& font) const {
    const int ink = inkRows(font, 0).count();
    return ink > 0 ? static_cast<double>(contentRows().count() - 2 * kClearRows) / ink : 1.0;
}

int CaptionButton::centringShift() {
    const Measure now{font(), devicePixelRatioF(), size(), style()};
    if (measuredFor_ == now) return shift_;
    const Rows room = contentRows();
    int shift = 0;
    // Moved by whole rows the ink moves as many, but it is measured again:
    // what the style rounds may round otherwise.
    constexpr int kMostTries = 3;
    for (int tries = 0; tries < kMostTries; ++tries) {
        const Rows ink = inkRows(font(), shift);
        if (ink.count() <= 0) break;
        const int wanted = room.first + (room.count() - ink.count()) / 2;
        if (ink.first == wanted) break;
        shift += wanted - ink.first;
    }
    measuredFor_ = now;
    shift_ = shift;
    return shift;
}

void CaptionButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the button as it would, pressed, focused, hovered or
    // default, but with no caption; the caption alone is placed here.
    QStyleOptionButton bare = option;
    bare.text.clear();
    bare.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, bare);

    const QRect area = contents();
    painter.setClipRect(area);  // as the style clips its caption: the frame stays the style's
    painter.translate(0, centringShift() / devicePixelRatioF());
    option.rect = Grown(area);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}

}  // namespace taborvane::window

// Compiled here rather than on its own, where Qt's headers are read already.
#include "moc_caption_button.cpp"  // NOLINT(bugprone-suspicious-include): moc's output for caption_button.h
