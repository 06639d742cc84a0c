// Keys of the terminal box as the TNC gets them.
#pragma once

#include <QKeyEvent>

namespace vorlink {

inline constexpr int kNoCharacter = -1;

// The key's character code as an ANSI text box reports it: printable
// characters, Enter, Escape, Backspace and Ctrl+letter. Every other key (Tab,
// Delete, arrows, function keys, characters beyond one byte) gives none.
int CharacterCode(const QKeyEvent& key);

// Tab and Shift+Tab would move the focus out of the terminal.
bool MovesFocus(const QKeyEvent& key);

// Ctrl+A to Ctrl+Z: control codes for the TNC, which the terminal keeps from
// the window's shortcuts (Ctrl+F) while it has the focus.
bool IsControlLetter(const QKeyEvent& key);

}  // namespace vorlink
