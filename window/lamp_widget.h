// A mode's lamp: a green circle, the largest that fits its box, centred.
// It stays in the window while out, so that a screen reader can still find it
// and tell whether it is lit.
#pragma once

#include <QWidget>

namespace taborvane::window {

class LampWidget : public QWidget {
    Q_OBJECT
public:
    explicit LampWidget(QWidget* parent = nullptr);

    void setLit(bool lit);
    [[nodiscard]] bool isLit() const { return lit_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_ = false;
};

}  // namespace taborvane::window
