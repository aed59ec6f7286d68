// Every text of the window keeps a contrast of at least 4.5:1 (WCAG AA)
// against the pixels behind it, measured on the rendered window, under the
// desktop theme the test starts with and under a dark and a light palette.
// TABORVANE_EXPECTED_THEME (light or dark) says what the desktop theme is, so
// that a theme that failed to load cannot pass unnoticed. With
// TABORVANE_SCREENSHOT_DIR set, each row's window is saved there to be looked at.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPalette>
#include <QSignalBlocker>
#include <QTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cmath>

#include "window/countdown_window.h"
#include "window/design.h"

using namespace taborvane::window;

namespace {

constexpr double kLeastContrast = 4.5;

// WCAG 2 relative luminance of an sRGB colour.
double Luminance(QRgb rgb) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

struct TextMeasure {
    int textPixels = 0;
    double contrast = 1.0;
};

// The text's pixels are those that differ from the control drawn without its
// text; its ink is the one that stands out most from the pixel behind it.
TextMeasure MeasureText(const QImage& withText, const QImage& withoutText) {
    TextMeasure measure;
    for (int y = 0; y < withText.height(); ++y) {
        for (int x = 0; x < withText.width(); ++x) {
            const QRgb ink = withText.pixel(x, y);
            const QRgb behind = withoutText.pixel(x, y);
            if (ink == behind) continue;
            ++measure.textPixels;
            measure.contrast = std::max(measure.contrast, Contrast(ink, behind));
        }
    }
    return measure;
}

QString TextOf(QWidget& control) {
    if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) return edit->text();
    return qobject_cast<QPushButton*>(&control)->text();
}

// Puts a text in without running any procedure of the window.
void SetTextOf(QWidget& control, const QString& text) {
    const QSignalBlocker quiet(&control);
    if (auto* label = qobject_cast<QLabel*>(&control)) label->setText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) edit->setText(text);
    if (auto* button = qobject_cast<QPushButton*>(&control)) button->setText(text);
}

// Palettes of the kind Qt themes use: black text on light grey, and light text on dark grey.
QPalette LightPalette() { return QPalette(QColor(239, 239, 239)); }

QPalette DarkPalette() {
    QPalette palette(QColor(53, 53, 53), QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(240, 240, 240));
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    palette.setColor(QPalette::Text, QColor(240, 240, 240));
    palette.setColor(QPalette::ButtonText, QColor(240, 240, 240));
    return palette;
}

bool IsDark(const QPalette& palette) { return palette.color(QPalette::Window).lightnessF() < 0.5; }

enum class Theme { AsStarted, FusionDark, FusionLight };

}  // namespace

class WindowContrastTest : public QObject {
    Q_OBJECT

    QString startStyle_;
    QPalette startPalette_;

private slots:
    void initTestCase() {
        startStyle_ = QApplication::style()->name();
        startPalette_ = QApplication::palette();
    }
    void cleanup() {
        QApplication::setStyle(QStyleFactory::create(startStyle_));
        QApplication::setPalette(startPalette_);
    }

    void everyTextStandsOut_data() {
        QTest::addColumn<Theme>("theme");
        QTest::newRow("desktop theme") << Theme::AsStarted;
        QTest::newRow("dark palette") << Theme::FusionDark;
        QTest::newRow("light palette") << Theme::FusionLight;
    }

    void everyTextStandsOut() {
        QFETCH(Theme, theme);
        if (theme == Theme::AsStarted) {
            const QString expected = qEnvironmentVariable("TABORVANE_EXPECTED_THEME", QStringLiteral("light"));
            QCOMPARE(IsDark(QApplication::palette()) ? QStringLiteral("dark") : QStringLiteral("light"), expected);
        } else {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QApplication::setPalette(theme == Theme::FusionDark ? DarkPalette() : LightPalette());
            QCOMPARE(IsDark(QApplication::palette()), theme == Theme::FusionDark);
        }

        CountdownWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();  // no blinking cursor
        if (const QString folder = qEnvironmentVariable("TABORVANE_SCREENSHOT_DIR"); !folder.isEmpty())
            window.grab().save(QDir(folder).filePath(QString::fromLatin1(QTest::currentDataTag()) + ".png"));

        QStringList figures;
        double least = 100.0;
        for (const ControlDesign& design : kControls) {
            if (design.kind == ControlKind::Shape) continue;
            auto* control = window.findChild<QWidget*>(QString::fromLatin1(design.name.data(), design.name.size()));
            QVERIFY(control != nullptr);
            const QImage withText = window.grab(control->geometry()).toImage();
            const QString text = TextOf(*control);
            SetTextOf(*control, QString());
            const QImage withoutText = window.grab(control->geometry()).toImage();
            SetTextOf(*control, text);

            const TextMeasure measure = MeasureText(withText, withoutText);
            const QString name = control->objectName();
            QVERIFY2(measure.textPixels >= 10, qPrintable(name + QStringLiteral(": no text found")));
            QVERIFY2(measure.contrast >= kLeastContrast,
                     qPrintable(QStringLiteral("%1 \"%2\": %3:1").arg(name, text).arg(measure.contrast, 0, 'f', 2)));
            figures << QStringLiteral("%1 %2").arg(name).arg(measure.contrast, 0, 'f', 1);
            least = std::min(least, measure.contrast);
        }
        qInfo().noquote() << QTest::currentDataTag() << "(" << QApplication::style()->name() << "): least contrast"
                          << QString::number(least, 'f', 2) << "; " << figures.join(", ");
    }
};

QTEST_MAIN(WindowContrastTest)
#include "window_contrast_test.moc"
