#include "ui/terminal_keys.h"

#include "tnc/tnc_terminal.h"

namespace vorlink {
namespace {

constexpr int kKeyBackspace = 8;

}  // namespace

int CharacterCode(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Backspace: return kKeyBackspace;
    default: break;
  }
  if (IsControlLetter(key)) return key.key() - Qt::Key_A + 1;
  const QString text = key.text();
  if (text.size() == 1 && text.at(0).unicode() < 256 && text.at(0).isPrint()) {
    return text.at(0).unicode();
  }
  return kNoCharacter;
}

bool MovesFocus(const QKeyEvent& key) {
  return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

bool IsControlLetter(const QKeyEvent& key) {
  return (key.modifiers() & Qt::ControlModifier) && key.key() >= Qt::Key_A &&
         key.key() <= Qt::Key_Z;
}

}  // namespace vorlink
