// How an entry shows itself to assistive tools. Qt's own interface for a
// line edit answers every question about a text attribute run with an empty
// run at that one character, and a screen reader that walks the runs to find
// the text's language then reads the text only up to its last character.
// This one answers as Qt's does, but the whole text is one run: an entry
// draws its text in one font and one colour.
#pragma once

namespace taborvane::window {

// Makes every QLineEdit answer through this interface; safe to call more than once.
void ExposeEntriesAsWholeText();

}  // namespace taborvane::window
