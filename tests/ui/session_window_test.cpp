// The session window over a real data link: a peer (a second LinkSessions)
// joined through an in-memory channel on a fake clock; connect, text in
// (long lines, UTF-8 and Latin-1), a line sent on Enter, the state line
// moving, the click asking for the link's frames, disconnect. Then
// Terminal > Connect... in the whole program: why nothing can be sent, a
// bad path, the link's first frame to the sender, and an incoming connect
// from the TNC opening a window of its own.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>

#include "ax25link/link_frame.h"
#include "controller_fixture.h"
#include "fake_status_line.h"
#include "link/kiss_escape.h"
#include "link_channel.h"
#include "ui/connect_dialog.h"
#include "ui/frame_browser.h"
#include "ui/session_window.h"
#include "ui/session_windows.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

// The far station: a link manager whose received data the test reads.
struct PeerEvents final : LinkEvents {
  std::string received;
  int connects = 0;
  bool disconnected = false;
  void OnConnected(const LinkId&) override { ++connects; }
  void OnDisconnected(const LinkId&, DisconnectReason) override { disconnected = true; }
  void OnData(const LinkId&, std::span<const std::uint8_t> data) override {
    received.append(data.begin(), data.end());
  }
  void OnStateChanged(const LinkId&, LinkState) override {}
};

const Ax25Address kOwn{"AA1AA", 0};
const Ax25Address kPeer{"BB2BB", 5};

class SessionWindowTest : public ::testing::Test {
 protected:
  SessionWindowTest()
      : channel(clock, {}),
        hub(LinkParameters{}, clock, status, folder.path()),
        peer(LinkParameters{}, clock, channel.Side(1), peerEvents) {
    hub.Route().SetSender(&channel.Side(0));
    hub.Sessions().SetOwnCall(kOwn);
    peer.SetOwnCalls({kPeer});
    channel.SetReceiver(0, [this](std::span<const std::uint8_t> f) { hub.Sessions().OnAx25Frame(f); });
    channel.SetReceiver(1, [this](std::span<const std::uint8_t> f) { peer.Receive(f); });
  }

  // The clock from event to event while the channel carries frames.
  void Settle() {
    for (int step = 0; step < 1000; ++step) {
      auto next = channel.NextArrival();
      for (const auto d : {hub.Sessions().NextDeadline(), peer.NextDeadline()}) {
        if (d && (!next || *d < *next)) next = d;
      }
      if (!next || (channel.Empty() && *next > clock.monotonic + 60s)) return;
      clock.monotonic = std::max(clock.monotonic, *next);
      channel.DeliverDue();
      hub.Sessions().Tick();
      peer.Tick();
    }
  }
  void PeerSends(std::string_view bytes) {
    ASSERT_TRUE(peer.Send({kPeer, kOwn}, std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    Settle();
  }
  SessionWindow& ConnectedWindow(int width) {
    std::string problem;
    SessionWindow* w = hub.Connect({kPeer, {}, false}, problem);
    EXPECT_NE(w, nullptr) << problem;
    w->resize(width, 400);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    Settle();
    return *w;
  }
  static QString State(SessionWindow& w) { return w.findChild<QPushButton*>("SessionState")->text(); }
  static QPlainTextEdit& TextBox(SessionWindow& w) { return *w.findChild<QPlainTextEdit*>("SessionText"); }
  static std::string Text(SessionWindow& w) { return TextBox(w).toPlainText().toStdString(); }

  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::LinkChannel channel;
  testing::FakeStatusLine status;
  PeerEvents peerEvents;
  SessionWindows hub;
  LinkManager peer;
};

TEST_F(SessionWindowTest, ConnectsShowsTheTextSendsALineAndDisconnects) {
  std::string problem;
  SessionWindow* w = hub.Connect({kPeer, {}, false}, problem);
  ASSERT_NE(w, nullptr) << problem;
  w->resize(640, 400);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  EXPECT_EQ(w->windowTitle(), "BB2BB-5");
  EXPECT_TRUE(State(*w).startsWith(
      "awaiting connection | V(S) 0 V(R) 0 | outstanding 0 | retries 0 | T1 3.0 s"))
      << State(*w).toStdString();
  Settle();
  EXPECT_EQ(peerEvents.connects, 1);
  EXPECT_TRUE(State(*w).startsWith("connected 2.0 | V(S) 0 V(R) 0")) << State(*w).toStdString();

  PeerSends("Welcome\r\nGr\xC3\xBC\xC3\x9F\r");
  PeerSends("Gr\xFC\xDF => ");
  EXPECT_EQ(Text(*w), "connecting to BB2BB-5 (2.0)\nconnected to BB2BB-5\nWelcome\n"
                      "Gr\xC3\xBC\xC3\x9F\nGr\xC3\xBC\xC3\x9F => ");
  EXPECT_TRUE(State(*w).contains("V(S) 0 V(R) 2")) << State(*w).toStdString();

  auto* input = w->findChild<QLineEdit*>("SessionInput");
  input->setFocus();
  QTest::keyClicks(input, "hello");
  QTest::keyClick(input, Qt::Key_Return);
  EXPECT_TRUE(input->text().isEmpty());
  EXPECT_TRUE(State(*w).contains("V(S) 1 V(R) 2 | outstanding 1")) << State(*w).toStdString();
  Settle();
  EXPECT_TRUE(State(*w).contains("V(S) 1 V(R) 2 | outstanding 0")) << State(*w).toStdString();
  EXPECT_EQ(peerEvents.received, "hello\r");
  EXPECT_TRUE(QString::fromStdString(Text(*w)).endsWith("=> \nhello\n"));

  QSignalSpy frames(w, &SessionWindow::FramesWanted);
  QTest::mouseClick(w->findChild<QPushButton*>("SessionState"), Qt::LeftButton);
  ASSERT_EQ(frames.size(), 1);
  EXPECT_EQ(frames[0][0].toString(), "AA1AA");
  EXPECT_EQ(frames[0][1].toString(), "BB2BB-5");

  QTest::mouseClick(w->findChild<QPushButton*>("SessionDisconnect"), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(State(*w).startsWith("disconnected")) << State(*w).toStdString();
  EXPECT_TRUE(QString::fromStdString(Text(*w)).endsWith("\ndisconnected\n"));
  EXPECT_FALSE(input->isEnabled());
  EXPECT_TRUE(peerEvents.disconnected);
  w->close();
}

TEST_F(SessionWindowTest, ALongLineWrapsInsideTheWindowAndIsShownWhole) {
  SessionWindow& w = ConnectedWindow(320);
  const std::string longLine(1000, 'w');
  PeerSends(longLine + "\r");
  EXPECT_NE(Text(w).find("\n" + longLine + "\n"), std::string::npos);
  QPlainTextEdit& box = TextBox(w);
  EXPECT_FALSE(box.horizontalScrollBar()->isVisible());
  // The long line takes more than one row of the window.
  const QTextBlock block = box.document()->findBlockByNumber(2);
  EXPECT_EQ(block.text().size(), 1000);
  EXPECT_GT(block.layout()->lineCount(), 1);
  EXPECT_LE(w.findChild<QPushButton*>("SessionState")->width(), w.width());
  w.close();
}

TEST_F(SessionWindowTest, ClosingTheWindowDisconnectsTheLink) {
  SessionWindow& w = ConnectedWindow(640);
  w.close();
  Settle();
  EXPECT_TRUE(peerEvents.disconnected);
  EXPECT_EQ(hub.Sessions().SessionCount(), 0u);
}

// The whole program: Terminal > Connect... and a connect from the TNC.
class ConnectMenuTest : public testing::ControllerTest {
 protected:
  struct RecordingSender final : FrameSink {
    std::vector<std::vector<std::uint8_t>> frames;
    void SendFrame(std::span<const std::uint8_t> frame, bool linkFrame) override {
      EXPECT_TRUE(linkFrame);
      frames.emplace_back(frame.begin(), frame.end());
    }
  } sender;

  ConnectDialog& OpenDialog() {
    Trigger("MnuConnect");
    // The one the menu opened, brought to the front again.
    return controller->OpenConnectDialog();
  }
  static FrameKind KindOf(const std::vector<std::uint8_t>& frame) {
    const auto addresses = ReadAddresses(frame);
    return ReadControl(frame, *addresses, false)->kind;
  }
};

TEST_F(ConnectMenuTest, WithoutACallsignTheDialogSaysWhyAndOkStaysOff) {
  WriteConfig("0");
  Start();
  ConnectDialog& dialog = OpenDialog();
  EXPECT_EQ(dialog.findChild<QLabel*>("ConnectBlocked")->text(),
            "Nothing can be sent: no own callsign (Options > Station...)");
  EXPECT_FALSE(dialog.findChild<QPushButton*>("ConnectOk")->isEnabled());
}

TEST_F(ConnectMenuTest, WithTransmitOffTheDialogSaysSo) {
  WriteConfig("0");
  station.config.station.callsign = "AA1AA";
  Start();
  ConnectDialog& dialog = OpenDialog();
  EXPECT_EQ(dialog.findChild<QLabel*>("ConnectBlocked")->text(),
            "Nothing can be sent: \"Transmit\" is off (Options > Station...)");
  EXPECT_FALSE(dialog.findChild<QPushButton*>("ConnectOk")->isEnabled());
}

TEST_F(ConnectMenuTest, ABadPathIsToldAndAGoodRequestOpensASessionWindow) {
  WriteConfig("0");
  station.config.station.callsign = "AA1AA";
  Start();
  controller->UseLinkSender(sender, [] { return true; });
  ConnectDialog& dialog = OpenDialog();
  EXPECT_FALSE(dialog.findChild<QLabel*>("ConnectBlocked")->isVisible());
  auto* ok = dialog.findChild<QPushButton*>("ConnectOk");
  ASSERT_TRUE(ok->isEnabled());
  dialog.findChild<QLineEdit*>("ConnectCall")->setText("db0abc-3");
  dialog.findChild<QLineEdit*>("ConnectPath")->setText("D1,D2,D3,D4,D5,D6,D7,D8,D9");
  dialog.findChild<QComboBox*>("ConnectVersion")->setCurrentIndex(0);
  ok->click();
  EXPECT_EQ(dialog.findChild<QLabel*>("ConnectProblem")->text(), "At most 8 digipeaters");
  EXPECT_TRUE(controller->Sessions().Windows().isEmpty());
  dialog.findChild<QLineEdit*>("ConnectPath")->setText("WIDE1-1");
  ok->click();
  ASSERT_EQ(controller->Sessions().Windows().size(), 1);
  SessionWindow* w = controller->Sessions().Windows()[0];
  EXPECT_EQ(w->windowTitle(), "DB0ABC-3");
  ASSERT_EQ(sender.frames.size(), 1u);
  EXPECT_EQ(KindOf(sender.frames[0]), FrameKind::SABME);
  const auto addresses = ReadAddresses(sender.frames[0]);
  EXPECT_EQ(CallsignText(addresses->digipeaters.at(0)), "WIDE1-1");

  QTest::mouseClick(w->findChild<QPushButton*>("SessionState"), Qt::LeftButton);
  ASSERT_NE(controller->Frames(), nullptr);
  EXPECT_EQ(controller->Frames()->findChild<QLineEdit*>("FilterFrom")->text(), "AA1AA");
  EXPECT_EQ(controller->Frames()->findChild<QLineEdit*>("FilterTo")->text(), "DB0ABC-3");
}

TEST_F(ConnectMenuTest, AConnectFromTheTncOpensASessionWindowAndIsAnswered) {
  WriteConfig("0");
  station.config.station.callsign = "AA1AA";
  Start();
  controller->UseLinkSender(sender, [] { return true; });
  LinkFrame sabm;
  sabm.kind = FrameKind::SABM;
  sabm.pollFinal = true;
  const auto ax25 = BuildFrame({Ax25Address{"CC3CC", 0}, kOwn, {}}, sabm, false);
  std::vector<std::uint8_t> kiss;
  AppendKissFrame(kiss, kCommandData, ax25);
  com1.Write(kiss);
  ASSERT_TRUE(testing::WaitUntil([&] { return !controller->Sessions().Windows().isEmpty(); }));
  SessionWindow* w = controller->Sessions().Windows()[0];
  EXPECT_EQ(w->windowTitle(), "CC3CC (connected to us)");
  ASSERT_EQ(sender.frames.size(), 1u);
  EXPECT_EQ(KindOf(sender.frames[0]), FrameKind::UA);
  EXPECT_TRUE(w->findChild<QPushButton*>("SessionState")->text().startsWith("connected 2.0"));
}

}  // namespace
}  // namespace vorlink
