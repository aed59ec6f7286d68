// How the window shows itself to assistive tools: a plain top-level QWidget
// reaches them as a "filler", but screen readers announce a window by the
// role "frame".
#pragma once

namespace taborvane::window {

// Makes every CountdownWindow a Window (a "frame" on AT-SPI), named by its
// title; safe to call more than once.
void ExposeCountdownWindowAsFrame();

}  // namespace taborvane::window
