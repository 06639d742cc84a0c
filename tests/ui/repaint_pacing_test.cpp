// The widgets that repaint less than their data changes: the frame pane's
// scroll bars and the byte counters.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <vector>

#include "ui/paced_label.h"
#include "ui/quiet_scroll_bar.h"
#include "widget_test_support.h"

namespace vorlink {
namespace {

using testing::PaintWatch;

struct BarCase {
  const char* name;
  int maximumBefore, valueBefore;
  int maximumAfter, valueAfter;
  bool repaints;
};

TEST(QuietScrollBarTest, RepaintsOnlyWhenItsLookChanges) {
  const std::vector<BarCase> cases = {
      // A long pane following its end: the handle is as small as it gets and
      // stays at the bottom, though the value is below the end between the steps.
      {"long, one more line, at the end", 1'000'000, 1'000'000, 1'000'001, 1'000'001, false},
      {"long, moves less than a pixel", 1'000'000, 500'000, 1'000'000, 500'001, false},
      {"short, one more line", 5, 5, 6, 6, true},
      {"long, leaves the end", 1'000'000, 1'000'000, 1'000'000, 999'999, true},
      {"long, reaches the start", 1'000'000, 1, 1'000'000, 0, true},
      {"long, jumps to the middle", 1'000'000, 1'000'000, 1'000'000, 500'000, true},
  };
  constexpr int kPage = 30;
  for (const BarCase& c : cases) {
    SCOPED_TRACE(c.name);
    QuietScrollBar bar(Qt::Vertical);
    bar.resize(16, 400);
    bar.Set(c.maximumBefore, kPage, c.valueBefore);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    PaintWatch paints(bar);
    bar.repaint();
    ASSERT_EQ(paints.count, 1);
    bar.Set(c.maximumAfter, kPage, c.valueAfter);
    QTest::qWait(20);
    EXPECT_EQ(paints.count > 1, c.repaints);
    EXPECT_EQ(bar.value(), c.valueAfter);
  }
}

TEST(PacedLabelTest, TextIsAlwaysTheLatestAndRepaintsOnceATick) {
  QWidget window;
  window.resize(300, 40);
  auto* label = new PacedLabel(&window);
  label->setGeometry(0, 0, 300, 20);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QString painted;
  PaintWatch paints(*label, [&] { painted = label->text(); });
  auto set = [&](const QString& text) {
    label->SetPacedText(text);
    EXPECT_EQ(label->text(), text);
    QCoreApplication::processEvents();
  };
  // The first change after a quiet tick shows at once, the rest at the tick.
  set("1 Bytes received");
  EXPECT_EQ(painted, "1 Bytes received");
  set("2 Bytes received");
  set("3 Bytes received");
  EXPECT_EQ(paints.count, 1);
  label->Tick();
  QCoreApplication::processEvents();
  EXPECT_EQ(painted, "3 Bytes received");
  EXPECT_EQ(paints.count, 2);
  // Changes at every turn of the event loop: one repaint a tick.
  for (int tick = 0; tick < 5; ++tick) {
    for (int n = 0; n < 10; ++n) set(QString("%1%2 Bytes received").arg(tick).arg(n));
    label->Tick();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(paints.count, 7);
  EXPECT_EQ(painted, "49 Bytes received");
  // Quiet ticks, then a change shows at once again.
  label->Tick();
  label->Tick();
  set("");
  EXPECT_EQ(painted, "");
  EXPECT_EQ(paints.count, 8);
}

}  // namespace
}  // namespace vorlink
