// A push button whose caption's ink, not its font's line box, is centred in
// the style's contents rectangle. Styles centre the line box, which for a face
// whose line box is taller than the contents puts descenders on the frame, or
// cuts them where the style clips. Where the ink lands is measured on the
// style's own drawing at the button's pixel ratio, not foretold from metrics.
#pragma once

#include <QPushButton>
#include <QStringList>
#include <QStyleOptionButton>
#include <optional>

namespace taborvane::window {

class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString& text, QWidget* parent = nullptr);

    // The captions whose ink, together, is centred; its own at first. Buttons
    // given the same captions and font, at one height, share a baseline.
    void shareBaselineWith(const QStringList& captions);
    // The device rows the style leaves for those captions, less a clear row
    // above and below, over the rows their ink takes in that font: below 1,
    // it does not fit.
    [[nodiscard]] double captionFit(const QFont& font) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Rows {
        int first = 0;
        int last = -1;  // below first: none
        [[nodiscard]] int count() const { return last - first + 1; }
    };
    struct Measure {
        QFont font;
        qreal ratio = 0;
        QSize size;
        const QStyle* style = nullptr;
        bool operator==(const Measure&) const = default;
    };

    [[nodiscard]] QRect contents() const;
    [[nodiscard]] Rows contentRows() const;
    [[nodiscard]] QStyleOptionButton labelOption(const QFont& font) const;
    [[nodiscard]] Rows inkRows(const QFont& font, int shift) const;
    [[nodiscard]] int centringShift();

    QStringList captions_;
    std::optional<Measure> measuredFor_;  // what the shift was measured for
    int shift_ = 0;                       // device rows down the caption is moved
};

}  // namespace taborvane::window
