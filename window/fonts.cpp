#include "fonts.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

#include "qt_text.h"

namespace taborvane::window {
namespace {

// The design's narrow display face becomes Roboto Condensed, drawn narrower
// still where its role asks; the bold operator signs use plain Roboto Bold.
const QString kNarrowFace = QStringLiteral("Roboto Condensed");
const QString kPlainFace = QStringLiteral("Roboto");

// Qt draws a face narrower or wider by the ratio of the stretch asked to the
// width the face's file declares, and the files of the same glyphs have
// declared different widths (Roboto Condensed: 100 in 2017, 75 from 3.0 on).
// So the stretch is found by measuring the text as it will be drawn. The face
// Qt picks may itself depend on the stretch asked, where a machine has more
// than one of the family: hence a few tries, each measuring what the last chose.
int StretchSpanning(QFont font, const QString& text, double width) {
    constexpr int kMostTries = 4;
    int stretch = QFont::Unstretched;
    for (int tries = 0; tries < kMostTries; ++tries) {
        font.setStretch(stretch);
        const double advance = QFontMetricsF(font).horizontalAdvance(text);
        if (advance <= 0) break;
        const int next = std::clamp(static_cast<int>(std::lround(stretch * width / advance)), 1, 4000);
        if (next == stretch) break;
        stretch = next;
    }
    return stretch;
}

const FontDesign* DesignOf(FontRole role) {
    const auto design =
        std::find_if(kFonts.begin(), kFonts.end(), [role](const FontDesign& font) { return font.role == role; });
    return design != kFonts.end() ? &*design : nullptr;
}

}  // namespace

QFont FontFor(FontRole role, double scale) {
    const FontDesign* design = DesignOf(role);
    return design != nullptr ? FontFor(role, scale, design->pointSize * scale) : QFont();
}

QFont FontFor(FontRole role, double scale, double pointSize) {
    const FontDesign* design = DesignOf(role);
    if (design == nullptr) return {};
    QFont font(design->face == Face::Narrow ? kNarrowFace : kPlainFace);
    font.setPointSizeF(pointSize);
    font.setWeight(design->face == Face::PlainBold ? QFont::Bold : QFont::Normal);
    // Glyphs keep their drawn advances whatever hinting the desktop asks for,
    // so that a text spans the same width everywhere; only heights meet pixels.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setStretch(QFont::Unstretched);
    if (!design->measure.empty())
        font.setStretch(
            StretchSpanning(font, ToQString(design->measure), design->measureTwips * scale / kTwipsPerPixel));
    return font;
}

}  // namespace taborvane::window
