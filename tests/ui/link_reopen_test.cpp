// Links that go away and come back, with real peers: a loopback TCP server
// playing a software TNC that closes mid-frame and listens again, and COM1's
// pseudo-terminal closed and made anew at the same link, its link gone for a
// while. In both, every frame sent after the return reaches the capture, and
// the losses and returns show in the pane, the label, the lamp and the
// message log.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <memory>

#include "app/station_links.h"
#include "controller_fixture.h"
#include "link/deframer.h"
#include "ui/messages_window.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::LetterFrame;
using testing::WaitUntil;

class PayloadList final : public UnitSink {
 public:
  std::string letters;  // the payloads of the frames, time frames left out
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() == 20 && frame[1] == 0x00) letters.push_back(static_cast<char>(frame[18]));
  }
  void OnEscape(std::uint8_t) override {}
};

// The software TNC: listens on 127.0.0.1 and keeps the latest connection.
class KissPeer {
 public:
  KissPeer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        client_ = s;
        ++connections;
      }
    });
  }
  std::uint16_t Port() const { return server_.serverPort(); }
  bool Connected() const { return client_ && client_->state() == QAbstractSocket::ConnectedState; }
  void Send(const std::vector<std::uint8_t>& bytes) {
    client_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    client_->flush();
  }
  // Gone away: the connection closed and nobody listening for a while.
  void Vanish() {
    client_->abort();
    client_->deleteLater();
    server_.close();
  }
  void Return(std::uint16_t port) { server_.listen(QHostAddress::LocalHost, port); }
  int connections = 0;

 private:
  QTcpServer server_;
  QPointer<QTcpSocket> client_;
};

class LinkReopenTest : public testing::ControllerTest {
 protected:
  std::string CapturedLetters() {
    PayloadList list;
    Deframer deframer;
    deframer.Feed(testing::ReadBytes(Main().Captures().KssFileName()), list);
    return list.letters;
  }
  bool InLampRed() {
    return !Find<QLabel>("Image3")->isHidden() && Find<QLabel>("Image2")->isHidden();
  }
};

TEST_F(LinkReopenTest, KissTcpPeerClosingMidFrameIsReachedAgain) {
  WriteConfig("false");
  KissPeer peer;
  const std::string name = "KISS TCP 127.0.0.1:" + std::to_string(peer.Port());
  station.kissTcpForThisRun = KissTcpAddress{"127.0.0.1", peer.Port()};
  station.messages.SetFile(folder.path() / "vorlink.log");
  Start();
  ASSERT_TRUE(WaitUntil([&] { return peer.Connected(); }));
  // The connect ends as an event of its own, at the latest just after the peer took it.
  ASSERT_TRUE(WaitUntil([&] { return LabelText("Label2").endsWith(" connected "); }));
  EXPECT_EQ(LabelText("Label2"), QString::fromStdString(name + " connected "));
  // A peer takes frames only: no script went out, the controls say why.
  for (const char* control : {"Text1", "Command4", "Command1"}) {
    const auto* widget = Find<QWidget>(control);
    EXPECT_FALSE(widget->isEnabled()) << control;
    EXPECT_EQ(widget->toolTip().toStdString(), kKissTcpTakesFramesOnly) << control;
  }

  auto halfB = LetterFrame('b');
  halfB.resize(10);
  auto sent = LetterFrame('a');
  sent.insert(sent.end(), halfB.begin(), halfB.end());
  peer.Send(sent);
  ASSERT_TRUE(WaitUntil([&] { return station.counters.BytesReceived == 30; }));
  peer.Vanish();
  ASSERT_TRUE(WaitUntil([&] { return LabelText("Label2").endsWith(" lost "); }));
  EXPECT_EQ(LabelText("Label2"), QString::fromStdString(name + " lost "));
  EXPECT_TRUE(InLampRed());
  EXPECT_TRUE(
      PaneText().contains(QString::fromStdString("--- " + name + " lost at 10:00:00 UTC ---")));

  peer.Return(static_cast<std::uint16_t>(std::stoi(name.substr(name.rfind(':') + 1))));
  ASSERT_TRUE(WaitUntil([&] { return peer.Connected(); }, 5000ms));
  ASSERT_TRUE(WaitUntil([&] { return LabelText("Label2").endsWith(" connected "); }));
  peer.Send(LetterFrame('c'));
  peer.Send(LetterFrame('d'));
  ASSERT_TRUE(WaitUntil([&] { return CapturedLetters() == "acd"; })) << CapturedLetters();
  Main().UpdateStatus();
  EXPECT_FALSE(InLampRed());
  EXPECT_TRUE(PaneText().contains(
      QString::fromStdString("--- " + name + " back at 10:00:00 UTC after 0 s ---")));
  EXPECT_TRUE(LogHas(name + " lost at 10:00:00 UTC"));
  EXPECT_TRUE(LogHas(name + " back at 10:00:00 UTC after 0 s"));
  EXPECT_NE(testing::ReadText(folder.path() / "vorlink.log").find(name + " back at"),
            std::string::npos);
  EXPECT_EQ(peer.connections, 2);
}

TEST_F(LinkReopenTest, PseudoTerminalMadeAgainAtTheSameLinkIsReopened) {
  WriteConfig("false");
  Start();
  ASSERT_EQ(Received(com1), testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D")));
  com1.Write(LetterFrame('a'));
  ASSERT_TRUE(WaitUntil([&] { return CapturedLetters() == "a"; }));
  com1.CloseMaster();
  ASSERT_TRUE(WaitUntil([&] { return LabelText("Label2").endsWith(" lost "); }));
  EXPECT_EQ(LabelText("Label2"), "COM 1, 19200,N,8,1 lost ");
  EXPECT_TRUE(InLampRed());
  EXPECT_TRUE(PaneText().contains("--- COM 1 lost at 10:00:00 UTC ---"));
  // The link goes with its target for a while, as some device managers do:
  // the tries meanwhile reach no other device (COM1 without a link would be
  // the on-board /dev/ttyS0).
  std::filesystem::remove(folder.path() / "COM1");
  EXPECT_FALSE(WaitUntil([&] { return !LabelText("Label2").endsWith(" lost "); }, 1500ms));
  EXPECT_FALSE(PaneText().contains("back at"));

  testing::PtyPair again;
  again.LinkAs(folder.path() / "COM1");
  // The start script again: a TNC that lost power is back in command mode.
  EXPECT_EQ(Received(again, 4000ms), testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D")));
  EXPECT_EQ(LabelText("Label2"), "COM 1, 19200,N,8,1 initialized ");
  again.Write(LetterFrame('c'));
  ASSERT_TRUE(WaitUntil([&] { return CapturedLetters() == "ac"; })) << CapturedLetters();
  EXPECT_TRUE(PaneText().contains("--- COM 1 back at 10:00:00 UTC after 0 s ---"));
  // In the stream: the lost line after frame a, frame c after the back line.
  const QString pane = PaneText();
  EXPECT_GT(pane.indexOf("--- COM 1 lost at"), pane.indexOf('\n'));
  EXPECT_LT(pane.indexOf("--- COM 1 lost at"), pane.indexOf("--- COM 1 back at"));
  ASSERT_TRUE(WaitUntil(
      [&] { return PaneText().mid(PaneText().indexOf("--- COM 1 back at")).count('\n') > 1; }));
  EXPECT_TRUE(LogHas("COM 1 lost at 10:00:00 UTC"));
  EXPECT_TRUE(LogHas("COM 1 back at 10:00:00 UTC after 0 s"));
}

// How the TNC turns up after the start: the stable name that a COM link made
// by the setup dialog leads to, which the system makes when the adapter is
// plugged in; or a COM link made by hand for a port that had none.
struct ArrivalCase {
  const char* name;
  int port;
  bool linkAtStart;
};

class TncArrivalTest : public LinkReopenTest, public ::testing::WithParamInterface<ArrivalCase> {};

TEST_P(TncArrivalTest, TncThatAppearsAfterTheStartIsOpenedAndGetsTheStartScript) {
  const ArrivalCase& c = GetParam();
  const std::string com = "COM " + std::to_string(c.port);
  const std::filesystem::path link = folder.path() / ("COM" + std::to_string(c.port));
  const std::filesystem::path stable = folder.path() / "by-id" / "usb-Vorlink_TNC-if00";
  std::filesystem::remove(folder.path() / "COM1");
  if (c.linkAtStart) std::filesystem::create_symlink(stable, link);
  testing::WriteFile(folder.path() / "vorlink.ini",
                     std::to_string(c.port) + ",19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  Start();
  EXPECT_EQ(LabelText("Label2").toStdString(), com + ", 19200,N,8,1 not available ");
  // Nothing to send the script to yet, and the operator is told so.
  QTest::mouseClick(Find<QPushButton>("Command4"), Qt::LeftButton);
  EXPECT_EQ(Main().SimpleText().toStdString(), com + " not open");

  testing::PtyPair tnc;
  std::filesystem::create_directories(stable.parent_path());
  tnc.LinkAs(c.linkAtStart ? stable : link);
  EXPECT_EQ(Received(tnc, 2000ms), testing::ToHex(Hex("4B 49 53 53 20 4F 4E 0D")));
  EXPECT_EQ(LabelText("Label2").toStdString(), com + ", 19200,N,8,1 initialized ");
  EXPECT_FALSE(InLampRed());
  const std::string line = com + " appeared at 10:00:00 UTC";
  EXPECT_TRUE(PaneText().contains(QString::fromStdString("--- " + line + " ---")));
  EXPECT_TRUE(LogHas(line));
  tnc.Write(LetterFrame('a'));
  ASSERT_TRUE(WaitUntil([&] { return CapturedLetters() == "a"; })) << CapturedLetters();
}

// Port 42 without a link is /dev/ttyS41, beyond the on-board ports a machine has.
INSTANTIATE_TEST_SUITE_P(Ways, TncArrivalTest,
                         ::testing::Values(ArrivalCase{"StableNameAppears", 1, true},
                                           ArrivalCase{"LinkMadeAfterTheStart", 42, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkReopenTest, MessagesWindowShowsEveryTextButTheSecondsCount) {
  WriteConfig("false");
  Start();
  Trigger("MnuMessages");
  ASSERT_NE(controller->Messages(), nullptr);
  clock.local.second += 5;
  Main().UpdateStatus();  // "5 sec since last packet [0]"
  EXPECT_TRUE(Main().SimpleText().contains("sec since last packet"));
  com1.CloseMaster();
  ASSERT_TRUE(WaitUntil([&] { return LogHas("COM 1 lost at"); }));
  const QString shown = controller->Messages()->Lines()->toPlainText();
  EXPECT_TRUE(shown.contains("\n2026-12-06 10:00:05 COM 1 lost at 10:00:05 UTC"))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains("2026-12-06 10:00:00 read tnc_init.txt"));
  EXPECT_FALSE(shown.contains("sec since last packet"));
  EXPECT_EQ(Find<QMenu>("MnuView")->title(), "&View");
}

}  // namespace
}  // namespace vorlink
