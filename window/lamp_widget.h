// A mode's lamp: a green circle, the largest that fits its box, centred.
// It stays in the window while out, so that a screen reader can still find it
// and tell whether it is lit. A lamp takes no focus, so a screen reader's user
// meets it at its mode's button, whose description tells the lamp's state.
#pragma once

#include <QPointer>
#include <QWidget>

namespace taborvane::window {

class LampWidget : public QWidget {
    Q_OBJECT
public:
    explicit LampWidget(QWidget* parent = nullptr);

    void setLit(bool lit);
    [[nodiscard]] bool isLit() const { return lit_; }
    // The control whose accessible description tells this lamp's state from now on.
    void tellStateThrough(QWidget& control);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tell(QWidget& control, const QString& description);

    bool lit_ = false;
    QPointer<QWidget> teller_;
};

}  // namespace taborvane::window
