// The frame pane over a real store: following the end, holding still while the operator reads,
// selection and copying.
#include "ui/frame_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "store/capture_loader.h"
#include "store/store_tail.h"
#include "widget_test_support.h"

namespace vorlink {
namespace {

const std::filesystem::path kViewSample = VORLINK_SAMPLES_DIR "/sample.kss";

class FrameViewTest : public ::testing::Test {
 protected:
  FrameViewTest() {
    view.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view.resize(420, 200);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  // The sample's frames once more.
  void LoadSample() {
    std::string error;
    ASSERT_TRUE(LoadCapture(kViewSample, store, DisplayOptions{}, error)) << error;
    view.Refresh();
  }
  int Top() { return view.verticalScrollBar()->value(); }
  // Runs a find to its end, as the event loop would.
  bool Find(const QString& text, bool forward) {
    QSignalSpy done(&view, &FrameView::FindDone);
    view.StartFind(text, forward);
    EXPECT_TRUE(done.count() > 0 || done.wait(10000));
    return done.count() > 0 && done.back().front().toBool();
  }
  int Last() { return view.verticalScrollBar()->maximum(); }
  QPoint PointOf(int row, int column) {
    const QFontMetrics metrics = view.fontMetrics();
    return {4 + metrics.horizontalAdvance(QString(column, 'M')) + 1,
            row * metrics.lineSpacing() + metrics.lineSpacing() / 2};
  }

  FrameStore store;
  FrameView view{store};
};

TEST_F(FrameViewTest, FollowsTheEndAndHoldsStillWhileTheOperatorReads) {
  LoadSample();
  ASSERT_GT(Last(), 0);
  EXPECT_EQ(Top(), Last());
  EXPECT_TRUE(view.FollowsEnd());

  view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
  const LinePosition reading = view.Top();
  const QString shown = view.VisibleText();
  EXPECT_FALSE(view.FollowsEnd());
  const FrameIndex before = store.EndIndex();
  LoadSample();
  EXPECT_EQ(view.Top().frame, reading.frame);
  EXPECT_EQ(view.Top().line, reading.line);
  EXPECT_EQ(view.VisibleText(), shown);
  const auto* hint = view.findChild<QPushButton*>("NewFramesHint");
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(), QString("%1 new frames").arg(store.EndIndex() - before));

  QTest::mouseClick(const_cast<QPushButton*>(hint), Qt::LeftButton);
  EXPECT_TRUE(view.FollowsEnd());
  EXPECT_EQ(Top(), Last());
  EXPECT_FALSE(hint->isVisible());
  LoadSample();
  EXPECT_EQ(Top(), Last());
}

TEST_F(FrameViewTest, KeysMoveTheView) {
  LoadSample();
  QTest::keyClick(&view, Qt::Key_Home);
  EXPECT_EQ(Top(), 0);
  QTest::keyClick(&view, Qt::Key_PageDown);
  EXPECT_EQ(Top(), view.verticalScrollBar()->pageStep());
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Top(), Last());
  EXPECT_TRUE(view.FollowsEnd());
}

TEST_F(FrameViewTest, SelectionAcrossLinesAndFramesCopiesTheExactText) {
  LoadSample();
  QTest::keyClick(&view, Qt::Key_Home);
  const QStringList lines = view.AllText().split('\n');
  // From the second line, column 1, to the tenth line (the next block), column 3.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOf(1, 1));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOf(9, 3));
  QString expected = lines[1].mid(1) + '\n';
  for (int k = 2; k < 9; ++k) expected += lines[k] + '\n';
  expected += lines[9].left(3);
  EXPECT_EQ(view.SelectedText(), expected);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), expected);

  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return !view.Working(); }));  // copied in slices
  EXPECT_EQ(QApplication::clipboard()->text(), view.AllText());
}

TEST_F(FrameViewTest, DraggingSelects) {
  LoadSample();
  QTest::keyClick(&view, Qt::Key_Home);
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, PointOf(1, 0));
  QMouseEvent move(QEvent::MouseMove, PointOf(2, 4), view.viewport()->mapToGlobal(PointOf(2, 4)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view.viewport(), &move);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, PointOf(2, 4));
  const QStringList lines = view.AllText().split('\n');
  EXPECT_EQ(view.SelectedText(), lines[1] + '\n' + lines[2].left(4));
}

TEST_F(FrameViewTest, ClearingTheStoreEmptiesThePaneAndItsScrollBars) {
  LoadSample();
  QTest::qWait(50);
  ASSERT_TRUE(view.horizontalScrollBar()->isVisible());
  view.SelectAll();
  store.Clear();
  view.Refresh();
  QTest::qWait(50);
  EXPECT_EQ(view.AllText(), "");
  EXPECT_EQ(view.VisibleText(), "");
  EXPECT_FALSE(view.HasSelection());
  EXPECT_TRUE(view.FollowsEnd());
  EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
  EXPECT_FALSE(view.verticalScrollBar()->isVisible());
}

TEST_F(FrameViewTest, FindSelectsTheNextMatchAndBringsItIntoView) {
  LoadSample();
  QTest::keyClick(&view, Qt::Key_Home);
  ASSERT_TRUE(Find("n0call", true));
  EXPECT_EQ(view.SelectedText(), "N0CALL");
  const LinePosition first = view.Top();
  ASSERT_TRUE(Find("n0call", true));
  ASSERT_TRUE(Find("n0call", false));
  EXPECT_EQ(view.SelectedText(), "N0CALL");
  EXPECT_FALSE(Find("no such text anywhere", true));
  (void)first;
}

TEST_F(FrameViewTest, ATailShowsOnlyTheFramesFromItsStartOn) {
  LoadSample();
  const QString once = view.AllText();
  StoreTail tail(store, store.EndIndex());
  view.SetSequence(&tail);
  EXPECT_EQ(view.AllText(), "");
  LoadSample();
  EXPECT_EQ(view.AllText(), once);
  view.SetSequence(nullptr);
}

TEST_F(FrameViewTest, ANoteBetweenFramesIsALineOfItsOwnToSelectAndCopy) {
  const QString note = "--- COM 1 lost at 10:00:00 UTC ---";
  FrameNotes notes;
  StoreTail tail(store, store.EndIndex(), &notes);
  view.SetSequence(&tail);
  LoadSample();
  const QString once = view.AllText();
  notes.Add(store.EndIndex(), note.toStdString());
  LoadSample();
  EXPECT_EQ(view.AllText(), once + note + '\n' + once);

  // Scrolled away and back, it is still in its place.
  QTest::keyClick(&view, Qt::Key_Home);
  QTest::keyClick(&view, Qt::Key_End);
  ASSERT_TRUE(Find("lost at", true));
  EXPECT_EQ(view.SelectedText(), "lost at");
  const int noteLine = static_cast<int>(once.count('\n'));
  const QStringList lines = view.AllText().split('\n');
  ASSERT_EQ(lines[noteLine], note);
  EXPECT_TRUE(view.VisibleText().contains(note));
  const int row = noteLine - Top();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOf(row - 1, 0));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOf(row + 1, 3));
  const QString expected = lines[noteLine - 1] + '\n' + note + '\n' + lines[noteLine + 1].left(3);
  EXPECT_EQ(view.SelectedText(), expected);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(testing::WaitUntil([&] { return !view.Working(); }));  // copied in slices
  EXPECT_EQ(QApplication::clipboard()->text(), view.AllText());

  // A note after the newest frame shows at the end until frames follow it.
  notes.Add(store.EndIndex(), "--- COM 1 back at 10:00:05 UTC after 5 s ---");
  view.Refresh();
  EXPECT_TRUE(view.AllText().endsWith("--- COM 1 back at 10:00:05 UTC after 5 s ---\n"));
  QTest::keyClick(&view, Qt::Key_End);
  EXPECT_TRUE(view.VisibleText().endsWith("--- COM 1 back at 10:00:05 UTC after 5 s ---\n"));
  view.SetSequence(nullptr);
}

TEST_F(FrameViewTest, NewFramesAtTheEndRepaintTheTextButNotTheScrollBars) {
  EXPECT_FALSE(view.verticalScrollBar()->isVisible());
  for (int k = 0; k < 20; ++k) LoadSample();
  QTest::qWait(50);
  // The bar appears once the text is longer than the pane.
  EXPECT_TRUE(view.verticalScrollBar()->isVisible());
  testing::PaintWatch text(*view.viewport());
  testing::PaintWatch down(*view.verticalScrollBar());
  testing::PaintWatch across(*view.horizontalScrollBar());
  for (int k = 0; k < 3; ++k) {
    LoadSample();
    QTest::qWait(50);
  }
  EXPECT_EQ(Top(), Last());
  EXPECT_GE(text.count, 3);
  EXPECT_EQ(down.count, 0);
  EXPECT_EQ(across.count, 0);
}

}  // namespace
}  // namespace vorlink
