#include <QPalette>
#include <QTest>
#include <array>

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "counter/modes.h"
#include "find_control.h"
#include "window/countdown_window.h"
#include "window/design.h"
#include "window/fonts.h"
#include "window/lamp_widget.h"

using namespace taborvane::window;

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CountdownWindow> window_;

    template <typename Widget>
    Widget* find(const char* name) const {
        return FindControl<Widget>(*window_, name);
    }
    QString display() const { return find<QLabel>("lblDisplay")->text(); }
    const taborvane::IntervalTimer& timer(const char* name) const { return *window_->timerNamed(name); }
    bool lit(const char* lamp) const { return find<LampWidget>(lamp)->isLit(); }
    void type(const char* entry, const QString& text) { find<QLineEdit>(entry)->setText(text); }

private slots:
    void init() {
        window_ = std::make_unique<CountdownWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void matchesTheDesignTable_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < static_cast<int>(kControls.size()); ++row)
            QTest::newRow(kControls[static_cast<std::size_t>(row)].name.data()) << row;
    }
    void matchesTheDesignTable() {
        QFETCH(int, row);
        const ControlDesign& design = kControls[static_cast<std::size_t>(row)];
        auto* widget = window_->findChild<QWidget*>(Q(design.name));
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->geometry(), QRect(design.left / kTwipsPerPixel, design.top / kTwipsPerPixel,
                                           design.width / kTwipsPerPixel, design.height / kTwipsPerPixel));
        const QString text = Q(FirstTextOf(design));
        const QFontMetricsF metrics(widget->font());
        switch (design.kind) {
        case ControlKind::Label: {
            auto* label = qobject_cast<QLabel*>(widget);
            QVERIFY(label != nullptr);
            if (design.name != "lblDisplay") QCOMPARE(label->text(), text);
            QCOMPARE(label->palette().color(QPalette::Window), kBackground);
            // The design's text colour and place, whatever the desktop's theme.
            QCOMPARE(label->palette().color(QPalette::WindowText), kLabelText);
            QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
            QVERIFY2(metrics.tightBoundingRect(label->text()).right() <= label->contentsRect().width(),
                     "caption clipped");
            break;
        }
        case ControlKind::TextBox: {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            QVERIFY(edit != nullptr);
            QCOMPARE(edit->text(), text);
            QCOMPARE(edit->maxLength(), design.maxLength);
            QCOMPARE(edit->accessibleName(), Q(design.accessibleName));
            QVERIFY2(metrics.horizontalAdvance(text) <= edit->width() - 6, "design text clipped");
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = qobject_cast<QPushButton*>(widget);
            QVERIFY(button != nullptr);
            QCOMPARE(button->text(), text);
            QVERIFY2(metrics.horizontalAdvance(text) <= button->width() - 6, "caption clipped");
            break;
        }
        case ControlKind::Shape: {
            auto* lamp = qobject_cast<LampWidget*>(widget);
            QVERIFY(lamp != nullptr);
            QVERIFY(!lamp->isLit());
            QCOMPARE(lamp->accessibleName(), Q(design.accessibleName));
            break;
        }
        }
    }

    // The limits users get, not the table's: a wrong number in the table must fail here.
    void entriesTakeNoMoreThanTheirLimit_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("limit");
        for (const char* amount : {"txtStart", "txtincdown", "txtIncriments", "txtdivideAmount", "txtTimesamount"})
            QTest::newRow(amount) << QString::fromLatin1(amount) << 9;
        for (const char* pace : {"txtinterval", "txtintUp", "txtDividePace", "txtTimes"})
            QTest::newRow(pace) << QString::fromLatin1(pace) << 6;
    }
    void entriesTakeNoMoreThanTheirLimit() {
        QFETCH(QString, entry);
        QFETCH(int, limit);
        auto* edit = find<QLineEdit>(qPrintable(entry));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString(limit + 1, QLatin1Char('1')));
        QCOMPARE(edit->text(), QString(limit, QLatin1Char('1')));
    }

    // Typing a step, divisor or factor sets no pace and starts no mode: the mode's next tick reads it.
    void amountEntriesAreReadOnlyByTheirTick_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("startButton");
        QTest::addColumn<QString>("afterTick");  // from 3 with the typed amount 5
        const std::array<const char*, taborvane::kModes.size()> afterTick{"-2", "8", "0", "15"};  // in mode order
        for (std::size_t mode = 0; mode < afterTick.size(); ++mode) {
            const taborvane::ModeRow& row = taborvane::kModes[mode];
            QTest::newRow(row.amount.data()) << QString::fromLatin1(row.amount) << QString::fromLatin1(row.startButton)
                                             << QString::fromLatin1(afterTick[mode]);
        }
    }
    void amountEntriesAreReadOnlyByTheirTick() {
        QFETCH(QString, entry);
        QFETCH(QString, startButton);
        QFETCH(QString, afterTick);
        // At 0 after Reset Zero, the start entry still reads 777 and every pace entry differs from
        // its timer's design interval, so any procedure run by the typing would show.
        QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
        auto* edit = find<QLineEdit>(qPrintable(entry));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("5"));
        QCOMPARE(display(), QStringLiteral("0"));
        for (const taborvane::ModeRow& mode : taborvane::kModes) {
            QCOMPARE(timer(mode.timer.data()).interval(), mode.designInterval);
            QVERIFY(!timer(mode.timer.data()).isEnabled());
        }
        type("txtStart", QStringLiteral("3"));
        QTest::mouseClick(find<QPushButton>(qPrintable(startButton)), Qt::LeftButton);
        QTRY_COMPARE(display(), afterTick);
    }

    void startsWithTheStartValueAndNoEditRun() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Taborvane"));
        QCOMPARE(window_->objectName(), QStringLiteral("frmCountdown"));
        QCOMPARE(window_->size(), kDesignSize);
        QCOMPARE(display(), QStringLiteral("777"));
        QCOMPARE(find<QLabel>("lblDisplay")->accessibleName(), QStringLiteral("777"));
        // A pace edit run during creation would have replaced the design intervals.
        for (const taborvane::ModeRow& mode : taborvane::kModes) {
            QCOMPARE(timer(mode.timer.data()).interval(), mode.designInterval);
            QVERIFY(!timer(mode.timer.data()).isEnabled());
        }
        QCOMPARE(QApplication::focusWidget(), find<QLineEdit>("txtStart"));
        QVERIFY(!window_->windowIcon().isNull());
    }

    void displayShowsEveryValueInFull() {
        auto* label = find<QLabel>("lblDisplay");
        for (const char* widest : {"-2147483648", "2147483647", "-888888888"}) {
            type("txtStart", QString::fromLatin1(widest).left(9));
            const QFontMetricsF metrics(label->font());
            QVERIFY(metrics.horizontalAdvance(QString::fromLatin1(widest)) <= label->contentsRect().width());
            // Drawn from the top of the box, the digits' ink must end above its bottom.
            const QRectF ink = metrics.tightBoundingRect(QString::fromLatin1(widest)).translated(0, metrics.ascent());
            QVERIFY2(ink.top() >= 0 && ink.bottom() <= label->contentsRect().height(), widest);
        }
    }

    void buttonsAndEditsReachTheirProcedures() {
        const std::pair<const char*, const char*> startButtons[] = {{"cmdStart", "tmrCountdown"},
                                                                    {"Command1", "tmrCountUp"},
                                                                    {"cmdDivide", "tmrDivide"},
                                                                    {"cmdTimes", "tmrTimes"}};
        for (const auto& [button, timerName] : startButtons) {
            QVERIFY(!timer(timerName).isEnabled());
            QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
            QVERIFY2(timer(timerName).isEnabled(), button);
        }
        QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        for (const taborvane::ModeRow& mode : taborvane::kModes) QVERIFY(!timer(mode.timer.data()).isEnabled());

        const std::pair<const char*, const char*> paceEntries[] = {{"txtinterval", "tmrCountdown"},
                                                                   {"txtintUp", "tmrCountUp"},
                                                                   {"txtDividePace", "tmrDivide"},
                                                                   {"txtTimes", "tmrTimes"}};
        for (const auto& [entry, timerName] : paceEntries) {
            type(entry, QStringLiteral("123"));
            QCOMPARE(timer(timerName).interval(), 123);
            type(entry, QStringLiteral("-5"));
            QCOMPARE(timer(timerName).interval(), 123);
        }
        type("txtStart", QStringLiteral("5"));
        QCOMPARE(display(), QStringLiteral("5"));
        QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
        QCOMPARE(display(), QStringLiteral("0"));
    }

    void modesTickOnRealTimers() {
        type("txtintUp", QStringLiteral("5"));
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QTRY_VERIFY(display().toInt() >= 777 + 3 * 37);
        QVERIFY(lit("Shape2"));
        QCOMPARE((display().toInt() - 777) % 37, 0);

        type("txtintUp", QStringLiteral("0"));  // pauses the running mode
        const QString paused = display();
        QTest::qWait(60);
        QCOMPARE(display(), paused);
        QVERIFY(timer("tmrCountUp").isEnabled());
        type("txtintUp", QStringLiteral("5"));
        QTRY_VERIFY(display().toInt() > paused.toInt());

        QTest::mouseClick(find<QPushButton>("cmdStop"), Qt::LeftButton);
        const QString stopped = display();
        QVERIFY(!lit("Shape2"));
        QTest::qWait(60);
        QCOMPARE(display(), stopped);
    }

    void divideFollowsItsSequence() {
        type("txtDividePace", QStringLiteral("150"));  // slow enough to see each value
        QTest::mouseClick(find<QPushButton>("cmdDivide"), Qt::LeftButton);
        QTRY_COMPARE(display(), QStringLiteral("21"));
        QTRY_COMPARE(display(), QStringLiteral("0"));
        QVERIFY(lit("Shape3"));
    }

    void keyboardAloneWorksTheWindow() {
        const QStringList cycle{"txtStart",       "cmdStop",       "cmdReset",   "Cmdexit",  "txtdivideAmount",
                                "cmdDivide",      "txtDividePace", "txtincdown", "txtintUp", "Command1",
                                "txtIncriments",  "txtinterval",   "cmdStart",   "txtTimes", "cmdTimes",
                                "txtTimesamount", "txtStart"};
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < cycle.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, cycle);

        auto* start = find<QLineEdit>("txtStart");
        start->selectAll();
        QTest::keyClick(start, Qt::Key_Delete);
        QCOMPARE(display(), QStringLiteral("0"));
        QTest::keyClick(start, Qt::Key_1);
        QCOMPARE(display(), QStringLiteral("1"));
        QTest::keyClick(start, Qt::Key_2);
        QCOMPARE(display(), QStringLiteral("12"));

        auto* countUp = find<QPushButton>("Command1");
        countUp->setFocus();
        QTest::keyClick(countUp, Qt::Key_Space);
        QVERIFY(timer("tmrCountUp").isEnabled());
        auto* multiply = find<QPushButton>("cmdTimes");
        multiply->setFocus();
        QTest::keyClick(multiply, Qt::Key_Return);
        QVERIFY(timer("tmrTimes").isEnabled());
    }

    // A click into an entry or on a button takes the keyboard with it: keys
    // typed next edit what was clicked, not what had the focus before.
    void clickTakesTheKeyboard() {
        for (const char* name : {"txtinterval", "txtdivideAmount", "cmdStop", "txtTimesamount", "txtStart"}) {
            auto* control = find<QWidget>(name);
            QTest::mouseClick(control, Qt::LeftButton);
            QVERIFY2(QApplication::focusWidget() == control, name);
        }
        auto* pace = find<QLineEdit>("txtinterval");
        QTest::mouseClick(pace, Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(pace->text(), QStringLiteral("470"));
        QCOMPARE(display(), QStringLiteral("777"));
    }

    // Whatever the window's shape, the form keeps the design's proportions
    // and stands in its middle: each control as far from the window's centre
    // as the design puts it from the design's, at the scale that fits.
    void staysCentredAtAnySize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("twice the design") << kDesignSize * 2;
        QTest::newRow("full HD, wider than the design") << QSize(1920, 1080);
        QTest::newRow("taller than the design") << QSize(kDesignSize.width(), kDesignSize.height() * 3);
    }
    void staysCentredAtAnySize() {
        QFETCH(QSize, size);
        window_->resize(size);
        QCOMPARE(window_->size(), size);
        const double scale = std::min(static_cast<double>(size.width()) / kDesignSize.width(),
                                      static_cast<double>(size.height()) / kDesignSize.height());
        for (const ControlDesign& design : kControls) {
            const QRect placed = window_->findChild<QWidget*>(Q(design.name))->geometry();
            const double fromCentreX = (design.left + design.width / 2.0) / kTwipsPerPixel - kDesignSize.width() / 2.0;
            const double fromCentreY = (design.top + design.height / 2.0) / kTwipsPerPixel - kDesignSize.height() / 2.0;
            const QPointF expected(size.width() / 2.0 + fromCentreX * scale, size.height() / 2.0 + fromCentreY * scale);
            const QPointF centre = QRectF(placed).center();
            QVERIFY2(std::abs(centre.x() - expected.x()) <= 1.5 && std::abs(centre.y() - expected.y()) <= 1.5,
                     qPrintable(QStringLiteral("%1 centred at (%2, %3), not (%4, %5)")
                                    .arg(Q(design.name))
                                    .arg(centre.x())
                                    .arg(centre.y())
                                    .arg(expected.x())
                                    .arg(expected.y())));
        }
    }

    void scalesEveryPlaceAndFont() {
        window_->resize(kDesignSize * 2);
        QCOMPARE(window_->scale(), 2.0);
        QCOMPARE(find<QPushButton>("cmdStart")->geometry(),
                 QRect(2 * 1320 / 15, 2 * 3840 / 15, 2 * 2175 / 15, 2 * 420 / 15));
        QCOMPARE(find<QLabel>("lblDisplay")->font().pointSizeF(), FontFor(FontRole::Display, 1.0).pointSizeF() * 2);
        window_->resize(100, 100);
        QCOMPARE(window_->size(), kDesignSize);
    }

    void endsTheProgramWithoutAnotherTick_data() {
        QTest::addColumn<bool>("fromTheFrame");
        QTest::newRow("Exit button") << false;
        QTest::newRow("close from the window frame") << true;
    }
    void endsTheProgramWithoutAnotherTick() {
        QFETCH(bool, fromTheFrame);
        type("txtintUp", QStringLiteral("1"));
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QTimer::singleShot(20, window_.get(), [this, fromTheFrame] {
            if (fromTheFrame) {
                // What the window system sends when the user closes the window.
                QCloseEvent close;
                QCoreApplication::sendEvent(window_->windowHandle(), &close);
            } else {
                QTest::mouseClick(find<QPushButton>("Cmdexit"), Qt::LeftButton);
            }
        });
        QTimer::singleShot(5000, window_.get(), [] { QCoreApplication::exit(3); });  // the loop never ended
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(display().toInt() > 777);
        const QString last = display();
        QTest::qWait(30);
        QCOMPARE(display(), last);
        QVERIFY(!window_->isVisible());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
