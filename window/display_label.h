// The big number, drawn from sprites of its glyphs. Assistive tools that ask
// for its name get the value at that instant; they are told of a new value
// when a frame shows it, so at most once a frame, and again when the window
// can be seen after it could not.
#pragma once

#include <QLabel>
#include <functional>

#include "glyph_sprites.h"

namespace taborvane::window {

class DisplayLabel : public QLabel {
    Q_OBJECT
public:
    explicit DisplayLabel(const QString& text, QWidget* parent = nullptr);

    // Repaints the glyphs from the first that changed on.
    void showValue(const QString& value);
    // How many values it has been handed: the window hands it one a batch of ticks, not one a tick.
    [[nodiscard]] int valuesHanded() const { return valuesHanded_; }
    // What catches the ticks up, run before an assistive tool reads the value.
    void catchUpWith(std::function<void()> catchUp) { catchUp_ = std::move(catchUp); }
    void catchUp() const {
        if (catchUp_) catchUp_();
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GlyphSprites sprites_;
    QString painted_;             // the text as last painted
    qsizetype repaintFrom_ = -1;  // the first glyph a repaint asked for will draw; -1: none asked for
    std::function<void()> catchUp_;
    int valuesHanded_ = 0;
};

}  // namespace taborvane::window
