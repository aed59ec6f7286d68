// Every text of the window is drawn whole: no glyph's ink is cut by its
// control's edge or drawn over the frame its style draws, at the scale the
// test runs at (QT_SCALE_FACTOR). The ink is what a grab of the control shows
// beyond a grab with its text emptied, in device pixels; whole means as tall
// as the same text drawn with the same font on a canvas nothing clips. Each
// row runs under the style the test starts with, and again under Qt's Windows
// style set once the window is open: its thicker frames leave the captions
// less room, and the window must fit them again when the style changes.
#include <QImage>
#include <QPainter>
#include <QSignalBlocker>
#include <QTest>
#include <QTransform>

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>
#include <memory>

#include "find_control.h"
#include "window/countdown_window.h"
#include "window/design.h"
#include "window/fonts.h"
#include "window/qt_text.h"

using namespace taborvane::window;

namespace {

// Antialiasing may lend the control's ink a faint row more than the free
// canvas shows, or the control's colours may blend a faint end row away; a
// row lost that was more covered than this was cut.
constexpr double kFaintRow = 0.25;

// Texts a user may type that reach furthest above and below: accented capitals and descenders.
const QString kProbeOfSix = QStringLiteral("ÉÅjpgy");
const QString kProbeOfNine = QStringLiteral("ÉÅÇjpgyjq");

struct InkRows {
    int first = -1;  // -1: no ink
    int last = -1;
    [[nodiscard]] int height() const { return first < 0 ? 0 : last - first + 1; }
};

// The rows where the two images differ.
InkRows RowsBetween(const QImage& withText, const QImage& withoutText) {
    InkRows rows;
    for (int y = 0; y < withText.height(); ++y) {
        for (int x = 0; x < withText.width(); ++x) {
            if (withText.pixel(x, y) == withoutText.pixel(x, y)) continue;
            if (rows.first < 0) rows.first = y;
            rows.last = y;
            break;
        }
    }
    return rows;
}

// How many columns the two images differ across, first to last.
int ColumnsBetween(const QImage& withText, const QImage& withoutText) {
    const QTransform turn = QTransform().rotate(90);
    return RowsBetween(withText.transformed(turn), withoutText.transformed(turn)).height();
}

struct FreeInk {
    InkRows rows;
    double firstCover = 0;  // the most any pixel of the first row is covered, 0 to 1
    double lastCover = 0;
    int columns = 0;
};

// The text's ink where nothing clips it, black on white, at the control's pixel ratio and dots per inch.
FreeInk FreeInkOf(const QString& text, const QFont& font, const QWidget& control) {
    const qreal ratio = control.devicePixelRatioF();
    const QFontMetricsF metrics(font, &control);
    const QSizeF room(metrics.horizontalAdvance(text) + 4 * metrics.height(), 3 * metrics.height());
    QImage canvas((room * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = static_cast<int>(std::lround(control.logicalDpiY() / 0.0254));
    canvas.setDotsPerMeterX(dotsPerMeter);
    canvas.setDotsPerMeterY(dotsPerMeter);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::white);
    QImage blank = canvas;
    {
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(2 * metrics.height(), metrics.height() + metrics.ascent()), text);
    }
    const auto cover = [&canvas](int y) {
        int darkest = 255;
        for (int x = 0; x < canvas.width(); ++x) darkest = std::min(darkest, qGray(canvas.pixel(x, y)));
        return (255 - darkest) / 255.0;
    };
    const InkRows rows = RowsBetween(canvas, blank);
    if (rows.height() == 0) return {};
    return {rows, cover(rows.first), cover(rows.last), ColumnsBetween(canvas, blank)};
}

// Where the style lets text be drawn, inside the frame it draws; the whole control for a label.
QRect TextAreaOf(QWidget& control) {
    QStyle& style = *control.style();
    if (auto* button = qobject_cast<QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.features = QStyleOptionButton::None;
        if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
        if (button->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
        option.text = button->text();
        return style.subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        return style.subElementRect(QStyle::SE_LineEditContents, &option, edit).marginsRemoved(edit->textMargins());
    }
    return control.contentsRect();
}

// Puts a text in without running any procedure of the window.
void SetTextOf(QWidget& control, const QString& text) {
    const QSignalBlocker quiet(&control);
    if (auto* label = qobject_cast<QLabel*>(&control)) label->setText(text);
    if (auto* button = qobject_cast<QPushButton*>(&control)) button->setText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

}  // namespace

class CaptionInkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CountdownWindow> window_;
    QString startStyle_;

private slots:
    void initTestCase() { startStyle_ = QApplication::style()->name(); }
    void init() {
        window_ = std::make_unique<CountdownWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        // No caret in the grabs: it is no text.
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    }
    void cleanup() {
        window_.reset();
        QApplication::setStyle(QStyleFactory::create(startStyle_));
    }

    void inkIsWholeAndInsideTheTextArea_data() {
        QTest::addColumn<QString>("style");  // empty: the one the test starts with
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        for (const QString& style : {QString(), QStringLiteral("Windows")}) {
            const QByteArray prefix = style.isEmpty() ? QByteArray() : style.toLatin1() + ": ";
            for (const ControlDesign& design : kControls) {
                if (design.kind == ControlKind::Shape) continue;
                const char* name = design.name.data();
                const QString control = ToQString(design.name);
                const QString first = ToQString(FirstTextOf(design));
                QTest::addRow("%s%s \"%s\"", prefix.data(), name, qPrintable(first)) << style << control << first;
                if (design.font == FontRole::Display)
                    QTest::addRow("%s%s widest value", prefix.data(), name)
                        << style << control << QStringLiteral("-2147483648");
                if (design.kind == ControlKind::TextBox)
                    QTest::addRow("%s%s accents and descenders", prefix.data(), name)
                        << style << control << (design.maxLength == 6 ? kProbeOfSix : kProbeOfNine);
            }
        }
    }
    void inkIsWholeAndInsideTheTextArea() {
        QFETCH(QString, style);
        QFETCH(QString, control);
        QFETCH(QString, text);
        if (!style.isEmpty()) {
            QStyle* chosen = QStyleFactory::create(style);
            if (chosen == nullptr) QSKIP("this Qt has no such style");
            QApplication::setStyle(chosen);
        }
        QWidget& widget = *FindControl<QWidget>(*window_, qPrintable(control));
        const qreal ratio = widget.devicePixelRatioF();
        if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            const QFontMetricsF metrics(edit->font());
            const QRect area = TextAreaOf(widget);
            // An entry centres its font's line box and clips to its text area: whatever is typed
            // stays whole where the line box fits.
            QVERIFY2(metrics.height() <= area.height(),
                     qPrintable(QStringLiteral("%1: a line box of %2 pixels in a text area of %3")
                                    .arg(control)
                                    .arg(metrics.height())
                                    .arg(area.height())));
            // A text wider than its entry scrolls, and the part out of sight would be missing from the ink.
            QVERIFY(text.size() <= edit->maxLength());
            QVERIFY2(metrics.horizontalAdvance(text) < area.width() - 4,
                     "the text is wider than its entry: choose a narrower one");
        }

        SetTextOf(widget, text);
        const QImage withText = widget.grab().toImage();
        SetTextOf(widget, QString());
        const QImage withoutText = widget.grab().toImage();
        const InkRows ink = RowsBetween(withText, withoutText);
        const FreeInk free = FreeInkOf(text, widget.font(), widget);
        const int height = withText.height();  // device pixels
        const QString row =
            QStringLiteral("%1 \"%2\" at %3x in %4").arg(control, text).arg(ratio).arg(QApplication::style()->name());
        QVERIFY2(ink.height() > 0, qPrintable(row + QStringLiteral(": no ink found")));
        qInfo().noquote()
            << QStringLiteral(
                   "%1: ink top margin %2, bottom margin %3 of %4 device pixels; ink %5 rows, %6 free (%7 pt)")
                   .arg(row)
                   .arg(ink.first)
                   .arg(height - 1 - ink.last)
                   .arg(height)
                   .arg(ink.height())
                   .arg(free.rows.height())
                   .arg(widget.font().pointSizeF(), 0, 'f', 2);

        // Ink on a text area's first or last row meets the frame, or is cut where the style clips the text;
        // a row the text area covers only in part is partly frame. A label's text area is all of it.
        const QRect area = TextAreaOf(widget);
        const int areaFirst = static_cast<int>(std::ceil(area.top() * ratio));
        const int areaLast = static_cast<int>(std::floor((area.bottom() + 1) * ratio)) - 1;
        QVERIFY2(ink.first > areaFirst && ink.last < areaLast,
                 qPrintable(QStringLiteral("%1: ink rows %2 to %3 reach the edge of the text area's rows %4 to %5")
                                .arg(row)
                                .arg(ink.first)
                                .arg(ink.last)
                                .arg(areaFirst)
                                .arg(areaLast)));
        const int lost = free.rows.height() - ink.height();
        const bool faintEnd = std::min(free.firstCover, free.lastCover) <= kFaintRow;
        QVERIFY2(lost <= 0 ? lost >= -1 : lost == 1 && faintEnd,
                 qPrintable(QStringLiteral("%1: ink %2 rows tall, %3 where nothing clips it, whose end rows are %4 and "
                                           "%5 covered")
                                .arg(row)
                                .arg(ink.height())
                                .arg(free.rows.height())
                                .arg(free.firstCover, 0, 'f', 2)
                                .arg(free.lastCover, 0, 'f', 2)));
    }

    // An entry shows the longest number it takes whole from side to side: a
    // wider text would scroll, and its start would be out of sight.
    void anEntryShowsItsLongestNumberWhole_data() {
        QTest::addColumn<QString>("entry");
        for (const ControlDesign& design : kControls)
            if (design.kind == ControlKind::TextBox) QTest::addRow("%s", design.name.data()) << ToQString(design.name);
    }
    void anEntryShowsItsLongestNumberWhole() {
        QFETCH(QString, entry);
        auto& edit = *FindControl<QLineEdit>(*window_, qPrintable(entry));
        // The widest a number's text can be: its widest digit throughout, but
        // for the widest letter that may start its exponent.
        const QFontMetricsF metrics(edit.font());
        const auto widest = [&metrics](const QString& characters) {
            return *std::max_element(characters.begin(), characters.end(), [&metrics](QChar a, QChar b) {
                return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
            });
        };
        QString longest(edit.maxLength() - 1, widest(QStringLiteral("0123456789")));
        longest += widest(QStringLiteral("eEdD"));
        SetTextOf(edit, longest);
        edit.setCursorPosition(static_cast<int>(longest.size()));  // its end in sight, as after typing
        const QImage withText = edit.grab().toImage();
        SetTextOf(edit, QString());
        const QImage withoutText = edit.grab().toImage();
        const int shown = ColumnsBetween(withText, withoutText);
        const int whole = FreeInkOf(longest, edit.font(), edit).columns;
        QVERIFY2(
            std::abs(shown - whole) <= 1,
            qPrintable(QStringLiteral("\"%1\" shows %2 of its %3 columns of ink").arg(longest).arg(shown).arg(whole)));
    }
};

QTEST_MAIN(CaptionInkTest)
#include "caption_ink_test.moc"
