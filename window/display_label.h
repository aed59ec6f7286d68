// The big number. Its text is current at once for text() and for assistive
// tools; it is drawn, from sprites of its glyphs, at most once per frame, and
// assistive tools are told of a new value at most once per frame too.
#pragma once

#include <QLabel>

#include "clock/frame_clock.h"
#include "glyph_sprites.h"

namespace taborvane::window {

class DisplayLabel : public QLabel {
    Q_OBJECT
public:
    DisplayLabel(const QString& text, clock::FrameClock& frames, QWidget* parent = nullptr);

    void showValue(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void announceValue();

    clock::FrameClock& frames_;
    GlyphSprites sprites_;
    bool announcing_ = false;  // the next frame announces the value
};

}  // namespace taborvane::window
