#include "countdown_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "accessible_window.h"
#include "clock/kernel_wake_source.h"
#include "display_label.h"
#include "fonts.h"
#include "lamp_widget.h"

namespace taborvane::window {
namespace {

using Procedure = void (frmCountdown::*)();

struct Binding {
    std::string_view control;
    Procedure procedure;
};

// Every event that has a procedure; no other event of any control has one.
constexpr std::array<Binding, 7> kClickBindings{{
    {"cmdStart", &frmCountdown::cmdStart_Click},
    {"Command1", &frmCountdown::Command1_Click},
    {"cmdDivide", &frmCountdown::cmdDivide_Click},
    {"cmdTimes", &frmCountdown::cmdTimes_Click},
    {"cmdStop", &frmCountdown::cmdStop_Click},
    {"cmdReset", &frmCountdown::cmdReset_Click},
    {"Cmdexit", &frmCountdown::Cmdexit_Click},
}};

constexpr std::array<Binding, 6> kChangeBindings{{
    {"txtStart", &frmCountdown::txtStart_Change},
    {"txtinterval", &frmCountdown::txtinterval_Change},
    {"txtintUp", &frmCountdown::txtintUp_Change},
    {"txtDividePace", &frmCountdown::txtDividePace_Change},
    {"txtdivideAmount", &frmCountdown::txtdivideAmount_Change},
    {"txtTimes", &frmCountdown::txtTimes_Change},
}};

constexpr std::array<Binding, 4> kTimerBindings{{
    {"tmrCountdown", &frmCountdown::tmrCountdown_Timer},
    {"tmrCountUp", &frmCountdown::tmrCountUp_Timer},
    {"tmrDivide", &frmCountdown::tmrDivide_Timer},
    {"tmrTimes", &frmCountdown::tmrTimes_Timer},
}};

template <std::size_t N>
Procedure ProcedureFor(const std::array<Binding, N>& bindings, std::string_view control) {
    const auto found = std::find_if(bindings.begin(), bindings.end(),
                                    [control](const Binding& binding) { return binding.control == control; });
    return found == bindings.end() ? nullptr : found->procedure;
}

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void PaintBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, kBackground);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// Text on the fixed olive background keeps the design's black, whatever the
// desktop theme: a dark theme's light text would be unreadable on it.
void PaintLabel(QLabel& label) {
    PaintBackground(label);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, kLabelText);
    label.setPalette(palette);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QWidget* CreateWidget(const ControlDesign& design, QWidget* parent) {
    switch (design.kind) {
    case ControlKind::Label: {
        auto* label = design.font == FontRole::Display ? new DisplayLabel(ToQString(design.text), parent)
                                                       : new QLabel(ToQString(design.text), parent);
        PaintLabel(*label);
        return label;
    }
    case ControlKind::TextBox: {
        auto* edit = new QLineEdit(ToQString(design.text), parent);
        edit->setMaxLength(design.maxLength);
        return edit;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(ToQString(design.text), parent);
        button->setAutoDefault(true);  // Enter clicks a focused button, as Space does
        return button;
    }
    case ControlKind::Shape:
        return new LampWidget(parent);
    }
    return nullptr;
}

}  // namespace

CountdownWindow::CountdownWindow(QWidget* parent)
    : CountdownWindow(std::make_unique<clock::KernelWakeSource>(), parent) {}

CountdownWindow::CountdownWindow(std::unique_ptr<clock::WakeSource> wakeSource, QWidget* parent)
    : QWidget(parent),
      wakeSource_(std::move(wakeSource)),
      scheduler_(*wakeSource_),
      frames_(scheduler_, [this] { return screen()->refreshRate(); }),
      catchUp_(scheduler_),
      pacer_(*this, scheduler_, frames_) {
    ExposeCountdownWindowAsFrame();
    setObjectName(QStringLiteral("frmCountdown"));
    setWindowTitle(ToQString(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/taborvane.png")));
    PaintBackground(*this);
    setMinimumSize(kDesignSize);
    resize(kDesignSize);

    // The design texts go in before any edit is bound: creating the window runs no Change procedure.
    buildControls();
    buildSurface();
    bindEvents();
    setTabOrderFromDesign();
    applyScale();
    form_->Form_Load();
    control<QLineEdit>("txtStart").setFocus();
}

CountdownWindow::~CountdownWindow() { stopEveryTimer(); }

void CountdownWindow::buildControls() {
    for (const ControlDesign& design : kControls) {
        QWidget* widget = CreateWidget(design, this);
        widget->setObjectName(ToQString(design.name));
        if (!design.accessibleName.empty()) widget->setAccessibleName(ToQString(design.accessibleName));
        widget->setFocusPolicy(
            design.tabIndex >= 0 && (design.kind == ControlKind::TextBox || design.kind == ControlKind::CommandButton)
                ? Qt::StrongFocus
                : Qt::NoFocus);
        placed_.push_back({&design, widget});
    }
}

template <typename Widget>
Widget& CountdownWindow::control(std::string_view name) const {
    const auto found = std::find_if(placed_.begin(), placed_.end(),
                                    [name](const PlacedControl& placed) { return placed.design->name == name; });
    Q_ASSERT(found != placed_.end());
    return *static_cast<Widget*>(found->widget);
}

void CountdownWindow::buildSurface() {
    const auto entry = [this](std::string_view name) -> QtTextBox& {
        entries_.push_back(std::make_unique<QtTextBox>(control<QLineEdit>(name)));
        return *entries_.back();
    };
    const auto timer = [this](const TimerDesign& design) -> QtTimer& {
        const Procedure tick = ProcedureFor(kTimerBindings, design.name);
        timers_.push_back(std::make_unique<QtTimer>(*this, scheduler_, ToQString(design.name), design.interval,
                                                    [this, tick] { (form_.get()->*tick)(); }));
        return *timers_.back();
    };
    const auto lamp = [this](std::string_view name) -> QtShape& {
        lamps_.push_back(std::make_unique<QtShape>(control<LampWidget>(name)));
        return *lamps_.back();
    };
    auto& display = control<DisplayLabel>("lblDisplay");
    display.beforeRead([this] { scheduler_.catchUp(); });
    display_ = std::make_unique<QtLabel>(display, scheduler_);
    scheduler_.whenSettled([this] { display_->flush(); });
    end_ = std::make_unique<QtProgramEnd>([this] { endProgram(); });
    const ControlSurface surface{*display_,
                                 entry("txtStart"),
                                 entry("txtinterval"),
                                 entry("txtincdown"),
                                 entry("txtintUp"),
                                 entry("txtIncriments"),
                                 entry("txtDividePace"),
                                 entry("txtdivideAmount"),
                                 entry("txtTimes"),
                                 entry("txtTimesamount"),
                                 timer(kTimers[0]),
                                 timer(kTimers[1]),
                                 timer(kTimers[2]),
                                 timer(kTimers[3]),
                                 lamp("Shape1"),
                                 lamp("Shape2"),
                                 lamp("Shape3"),
                                 lamp("Shape4"),
                                 *end_};
    form_ = std::make_unique<frmCountdown>(surface);
}

void CountdownWindow::bindEvents() {
    // A click or an edit at instant t comes after every tick due by t, before any due later.
    for (const Binding& binding : kClickBindings) {
        connect(&control<QPushButton>(binding.control), &QPushButton::clicked, this,
                [this, procedure = binding.procedure] { scheduler_.atPresent([&] { (form_.get()->*procedure)(); }); });
    }
    for (const auto& entry : entries_) {
        QLineEdit& edit = entry->edit();
        const Procedure change = ProcedureFor(kChangeBindings, edit.objectName().toStdString());
        // Every change of the text is taken in, after the ticks due before it
        // have read the old text; six entries also run their procedure.
        connect(&edit, &QLineEdit::textChanged, this, [this, box = entry.get(), change] {
            scheduler_.atPresent([&] {
                box->refresh();
                if (change != nullptr) (form_.get()->*change)();
            });
        });
    }
}

void CountdownWindow::setTabOrderFromDesign() {
    std::vector<PlacedControl> focusable;
    std::copy_if(placed_.begin(), placed_.end(), std::back_inserter(focusable),
                 [](const PlacedControl& placed) { return placed.widget->focusPolicy() != Qt::NoFocus; });
    std::sort(focusable.begin(), focusable.end(),
              [](const PlacedControl& a, const PlacedControl& b) { return a.design->tabIndex < b.design->tabIndex; });
    for (std::size_t i = 1; i < focusable.size(); ++i) setTabOrder(focusable[i - 1].widget, focusable[i].widget);
}

void CountdownWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyScale();
}

void CountdownWindow::applyScale() {
    scale_ = std::min(static_cast<double>(width()) / kDesignSize.width(),
                      static_cast<double>(height()) / kDesignSize.height());
    // A window larger than the design's proportions keeps the layout centred.
    const double left = (width() - kDesignSize.width() * scale_) / 2.0;
    const double top = (height() - kDesignSize.height() * scale_) / 2.0;
    const auto place = [this](double origin, int twips) {
        return static_cast<int>(std::lround(origin + twips * scale_ / kTwipsPerPixel));
    };
    for (const PlacedControl& placed : placed_) {
        const ControlDesign& d = *placed.design;
        const int x = place(left, d.left);
        const int y = place(top, d.top);
        // Placed, never laid out: a fixed size spares the window a layout
        // request at every new text of a label.
        placed.widget->setFixedSize(place(left, d.left + d.width) - x, place(top, d.top + d.height) - y);
        placed.widget->move(x, y);
        if (d.font != FontRole::None) placed.widget->setFont(FontFor(d.font, scale_));
    }
}

const IntervalTimer* CountdownWindow::timerNamed(std::string_view name) const {
    for (std::size_t i = 0; i < kTimers.size() && i < timers_.size(); ++i)
        if (kTimers[i].name == name) return timers_[i].get();
    return nullptr;
}

void CountdownWindow::stopEveryTimer() {
    // Through the rule every surface shares, so that the timer knows itself stopped.
    for (const auto& timer : timers_) timer->setEnabled(false);
}

void CountdownWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Exposure is told to the native window only.
    windowHandle()->removeEventFilter(this);
    windowHandle()->installEventFilter(this);
    noteWhetherSeen();
}

void CountdownWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) noteWhetherSeen();
}

bool CountdownWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) noteWhetherSeen();
    return QWidget::eventFilter(watched, event);
}

void CountdownWindow::noteWhetherSeen() {
    const QWindow* native = windowHandle();
    frames_.setVisible(isVisible() && !isMinimized() && native != nullptr && native->isExposed());
}

void CountdownWindow::closeEvent(QCloseEvent* event) {
    // Closing the only window ends the program: no tick may follow.
    stopEveryTimer();
    event->accept();
}

void CountdownWindow::endProgram() {
    stopEveryTimer();
    close();
    QCoreApplication::exit(0);
}

}  // namespace taborvane::window
