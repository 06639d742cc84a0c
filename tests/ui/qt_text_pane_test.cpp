#include "ui/qt_text_pane.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace vorlink {
namespace {

TEST(QtTextPaneTest, NewTextGoesToTheEndWhereverTheOperatorClicked) {
  QPlainTextEdit edit;
  QtTextPane pane(edit);
  pane.AppendColoredText("\rfirst\r", PaneRole::Plain);
  QTextCursor caret = edit.textCursor();
  caret.setPosition(1);
  caret.setPosition(3, QTextCursor::KeepAnchor);
  edit.setTextCursor(caret);
  pane.AppendColoredText("second\r", PaneRole::DecodedDump);
  EXPECT_EQ(edit.toPlainText(), "\nfirst\nsecond\n");
  EXPECT_EQ(edit.textCursor().selectedText(), "fi");
}

TEST(QtTextPaneTest, EachPieceKeepsItsColour) {
  QPlainTextEdit edit;
  QtTextPane pane(edit);
  pane.AppendColoredText("red", PaneRole::DecodedDump);
  pane.AppendColoredText("green\r", PaneRole::Characters);
  QTextCursor at(edit.document());
  at.setPosition(1);
  EXPECT_EQ(at.charFormat().foreground().color(), QColor(255, 0, 0));
  at.setPosition(5);
  EXPECT_EQ(at.charFormat().foreground().color(), QColor(0, 128, 0));
}

TEST(QtTextPaneTest, KeepsTheNewestLinesAndClearEmptiesIt) {
  QPlainTextEdit edit;
  QtTextPane pane(edit, 5);
  for (int i = 0; i < 20; ++i) pane.AppendColoredText("line " + std::to_string(i) + "\r", PaneRole::Plain);
  EXPECT_EQ(edit.document()->blockCount(), 5);
  EXPECT_EQ(edit.document()->lastBlock().previous().text(), "line 19");
  pane.Clear();
  EXPECT_EQ(edit.toPlainText(), "");
}

TEST(QtTextPaneTest, ViewFollowsTheEndOnlyWhileItShowsTheEnd) {
  QPlainTextEdit edit;
  edit.resize(300, 100);
  edit.show();
  QtTextPane pane(edit);
  for (int i = 0; i < 100; ++i) pane.AppendColoredText("line\r", PaneRole::Plain);
  QScrollBar* bar = edit.verticalScrollBar();
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(10);
  pane.AppendColoredText("more\r", PaneRole::Plain);
  EXPECT_EQ(bar->value(), 10);
}

}  // namespace
}  // namespace vorlink
