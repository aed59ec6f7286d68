#include "fonts.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
#include <QString>

namespace taborvane::window {
namespace {

// The design's narrow display face becomes Roboto Condensed drawn condensed
// once more, so that "-2147483648" fits across the display at the design's
// 111 pt and "Start Countdown" fits its button at 18 pt. The bold operator
// signs use plain Roboto Bold.
const QString kNarrowFace = QStringLiteral("Roboto Condensed");
const QString kPlainFace = QStringLiteral("Roboto");

struct RoleFont {
    const QString& face;
    double pointSize;
    QFont::Weight weight;
    int stretch;
};

RoleFont RoleFontFor(FontRole role) {
    switch (role) {
    case FontRole::Display:
        return {kNarrowFace, 111.0, QFont::Normal, QFont::Condensed};
    case FontRole::Button:
        return {kNarrowFace, 18.0, QFont::Normal, QFont::Condensed};
    case FontRole::Entry:
        return {kNarrowFace, 20.25, QFont::Normal, QFont::Condensed};
    case FontRole::Operator:
        return {kPlainFace, 24.0, QFont::Bold, QFont::Unstretched};
    // The headings must fit 65 pixels: a narrow face at a small size does.
    case FontRole::Heading:
    case FontRole::None:
        break;
    }
    return {kNarrowFace, 8.25, QFont::Normal, QFont::Unstretched};
}

}  // namespace

void LoadCarriedFonts() {
    for (const char* file : {":/fonts/RobotoCondensed-Regular.ttf", ":/fonts/Roboto-Bold.ttf"}) {
        // The faces are stored uncompressed in the program, so Qt can read
        // them in place instead of copying them to the heap.
        const QResource resource(QString::fromLatin1(file));
        Q_ASSERT(resource.compressionAlgorithm() == QResource::NoCompression);
        QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
            reinterpret_cast<const char*>(resource.data()), static_cast<qsizetype>(resource.size())));
    }
}

QFont FontFor(FontRole role, double scale) {
    const RoleFont design = RoleFontFor(role);
    QFont font(design.face);
    font.setPointSizeF(design.pointSize * scale);
    font.setWeight(design.weight);
    font.setStretch(design.stretch);
    return font;
}

}  // namespace taborvane::window
