// The conversations tab of View > APRS Messages, offscreen over a message
// center with a fake clock and a recording sender: a line sent, its state
// as the schedule runs and the ack comes, a reply in the thread, and Send
// saying why when nothing can be sent.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <string>
#include <vector>

#include "aprs/message_center.h"
#include "fake_clock.h"
#include "store/frame_store.h"
#include "ui/aprs_messages_window.h"
#include "ui/conversation_pane.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

QStringList ThreadRows(QTableWidget& thread) {
  QStringList rows;
  for (int row = 0; row < thread.rowCount(); ++row) {
    QStringList cells;
    for (int c = 0; c < thread.columnCount(); ++c) cells << thread.item(row, c)->text();
    rows << cells.join('|');
  }
  return rows;
}

struct WindowHarness {
  WindowHarness()
      : center(clock,
               [this](std::string_view info) {
                 if (answer == AprsSendResult::Queued) sent.emplace_back(info);
                 return answer;
               }),
        window(store, &center) {
    clock.monotonic += 1h;
    center.SetOwnCallsign("N0OWN");
    window.show();
  }
  ConversationPane& Pane() { return window.Conversations(); }
  void Write(const QString& to, const QString& text) {
    Pane().To().setText(to);
    Pane().Text().setText(text);
  }

  testing::FakeClock clock;
  std::vector<std::string> sent;
  AprsSendResult answer = AprsSendResult::Queued;
  MessageCenter center;
  FrameStore store;
  AprsMessagesWindow window;
};

TEST(ConversationWindowTest, SendStatesAndAReply) {
  WindowHarness h;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.window));
  EXPECT_EQ(h.window.Tabs().tabText(0), "Conversations");
  EXPECT_EQ(h.window.Tabs().tabText(1), "All messages heard");
  h.Write("w1aw", "hello");
  EXPECT_EQ(h.window.findChild<QLabel*>("MessageCounter")->text(), "5/67");
  QTest::mouseClick(&h.Pane().SendButton(), Qt::LeftButton);
  ASSERT_EQ(h.sent.size(), 1U);
  const std::string id = h.sent[0].substr(h.sent[0].find('{') + 1, 2);
  EXPECT_EQ(h.sent[0], ":W1AW     :hello{" + id + "}");
  EXPECT_TRUE(h.Pane().Text().text().isEmpty());
  EXPECT_EQ(h.Pane().ShownConversation(), "W1AW");
  EXPECT_EQ(ThreadRows(h.Pane().Thread()),
            QStringList({"09:58:20|N0OWN|hello|sending 1/8, next in 15 s"}));

  h.clock.monotonic += 15s;
  h.center.Poll();
  EXPECT_EQ(ThreadRows(h.Pane().Thread()),
            QStringList({"09:58:20|N0OWN|hello|sending 2/8, next in 30 s"}));

  h.clock.local.second = 41;
  h.center.Heard({"W1AW", "N0DIG", ":N0OWN    :ack" + id + "\r"});
  h.center.Heard({"W1AW", "", ":N0OWN    :fine, thanks{7"});
  EXPECT_EQ(ThreadRows(h.Pane().Thread()),
            QStringList({"09:58:20|N0OWN|hello|acked 09:58:41 (heard via N0DIG)",
                         "09:58:41|W1AW|fine, thanks|"}));
  EXPECT_EQ(h.sent.back(), ":W1AW     :ack7");
  EXPECT_EQ(h.Pane().List().item(1)->text(), "W1AW");
}

TEST(ConversationWindowTest, SendSaysWhyNothingWasSent) {
  WindowHarness h;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.window));
  h.answer = AprsSendResult::TransmitOff;
  h.Write("W1AW", "hello");
  QTest::mouseClick(&h.Pane().SendButton(), Qt::LeftButton);
  EXPECT_EQ(h.Pane().Problem().text(), "Not sent: Transmit is off (Options > Station...)");
  h.Write("W1AW", "a|b");
  QTest::mouseClick(&h.Pane().SendButton(), Qt::LeftButton);
  EXPECT_EQ(h.Pane().Problem().text(), "Not sent: the text may not hold \"|\"");

  FrameStore store;
  AprsMessagesWindow alone(store);
  alone.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&alone));
  alone.Conversations().To().setText("W1AW");
  alone.Conversations().Text().setText("hi");
  QTest::mouseClick(&alone.Conversations().SendButton(), Qt::LeftButton);
  EXPECT_EQ(alone.Conversations().Problem().text(), "Not sent: sending is not set up");
}

TEST(ConversationWindowTest, BulletinsAreListedAndStopped) {
  WindowHarness h;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.window));
  h.Write("BLN3", "club net 20:00");
  QTest::mouseClick(&h.Pane().SendButton(), Qt::LeftButton);
  EXPECT_EQ(h.sent.back(), ":BLN3     :club net 20:00");
  EXPECT_EQ(h.Pane().ShownConversation(), "");
  EXPECT_EQ(
      ThreadRows(h.Pane().Thread()),
      QStringList({"09:58:20|BLN3|club net 20:00|sent 1x, next in 30 s, until 60 min from now"}));
  h.Pane().Thread().selectRow(0);
  QTest::mouseClick(h.window.findChild<QPushButton*>("MessageCancel"), Qt::LeftButton);
  EXPECT_EQ(ThreadRows(h.Pane().Thread()),
            QStringList({"09:58:20|BLN3|club net 20:00|sent 1x, stopped"}));
}

}  // namespace
}  // namespace vorlink
