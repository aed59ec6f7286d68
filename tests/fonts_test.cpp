// The look must not depend on what the narrow face's file says of itself:
// the same glyphs, declaring any width, are drawn as wide as the design asks.
#include <QTest>

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QtEndian>

#include "window/design.h"
#include "window/fonts.h"

using namespace taborvane::window;

namespace {

// OpenType's width classes: 3 condensed (75 %), 5 normal, 7 expanded (125 %).
constexpr quint16 kCondensed = 3, kNormal = 5, kExpanded = 7;

// A face as Debian's fonts-roboto-unhinted installs it (the build found where).
QByteArray PackageFace(const char* path) {
    QFile face(QString::fromLocal8Bit(path));
    return face.open(QIODevice::ReadOnly) ? face.readAll() : QByteArray();
}

// The face with the width class in its OS/2 table (after the version, the
// average advance and the weight) set; empty where it has no such table.
QByteArray DeclaringWidth(QByteArray face, quint16 widthClass) {
    const auto* bytes = reinterpret_cast<const uchar*>(face.constData());
    const int tables = qFromBigEndian<quint16>(bytes + 4);
    for (int i = 0; i < tables; ++i) {
        const int entry = 12 + 16 * i;  // tag, checksum, offset, length
        if (face.mid(entry, 4) != "OS/2") continue;
        const auto widthAt = static_cast<qsizetype>(qFromBigEndian<quint32>(bytes + entry + 8)) + 6;
        qToBigEndian(widthClass, face.data() + widthAt);
        return face;
    }
    return {};
}

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QFontDatabase::removeAllApplicationFonts(); }

    void eachRoleSpansItsDesignWhateverWidthTheFaceDeclares_data() {
        QTest::addColumn<int>("widthClass");
        QTest::addColumn<double>("scale");
        const std::pair<const char*, quint16> declared[] = {
            {"condensed", kCondensed}, {"normal", kNormal}, {"expanded", kExpanded}};
        for (const auto& [name, widthClass] : declared)
            for (const double scale : {1.0, 2.0})
                QTest::addRow("declared %s, form at %gx", name, scale) << int{widthClass} << scale;
    }
    void eachRoleSpansItsDesignWhateverWidthTheFaceDeclares() {
        QFETCH(int, widthClass);
        QFETCH(double, scale);
        const QByteArray narrow = DeclaringWidth(PackageFace(ROBOTO_CONDENSED_FACE), static_cast<quint16>(widthClass));
        QVERIFY(!narrow.isEmpty());
        QVERIFY(QFontDatabase::addApplicationFontFromData(narrow) >= 0);
        QVERIFY(QFontDatabase::addApplicationFontFromData(PackageFace(ROBOTO_BOLD_FACE)) >= 0);
        for (const FontDesign& design : kFonts) {
            if (design.measure.empty()) continue;
            const double advance = QFontMetricsF(FontFor(design.role, scale)).horizontalAdvance(Q(design.measure));
            const double span = design.measureTwips * scale / kTwipsPerPixel;
            // Qt's stretch is a whole percent of the declared width: within one step of it.
            QVERIFY2(std::abs(advance - span) <= std::max(1.5, span * 0.01),
                     qPrintable(QStringLiteral("\"%1\" spans %2 pixels, not %3")
                                    .arg(Q(design.measure))
                                    .arg(advance, 0, 'f', 1)
                                    .arg(span, 0, 'f', 1)));
        }
    }

    // The operator signs are drawn bold and every other text regular: the face Qt draws with says.
    void eachRoleIsDrawnInItsWeight() {
        // As the machine has them; where fontconfig is told of no fonts, as the test gives them.
        for (const char* face : {ROBOTO_CONDENSED_FACE, ROBOTO_BOLD_FACE})
            QVERIFY(QFontDatabase::addApplicationFontFromData(PackageFace(face)) >= 0);
        for (const FontDesign& design : kFonts) {
            const bool wantsBold = design.face == Face::PlainBold;
            QVERIFY2(QFontInfo(FontFor(design.role, 1.0)).bold() == wantsBold,
                     qPrintable(QStringLiteral("%1 not drawn %2")
                                    .arg(design.measure.empty() ? QStringLiteral("the operator signs")
                                                                : "\"" + Q(design.measure) + "\"")
                                    .arg(wantsBold ? "bold" : "regular")));
        }
    }
};

QTEST_MAIN(FontsTest)
#include "fonts_test.moc"
