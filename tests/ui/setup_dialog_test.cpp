#include "ui/setup_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include "app/qt_kiss_server.h"
#include "controller_fixture.h"
#include "app/qt_station_config.h"
#include "temp_folder.h"
#include "fake_device_source.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;
using testing::Hex;
using testing::kFrame20;
using testing::ReadText;
using testing::WaitUntil;

class SetupDialogTest : public testing::ControllerTest {
 protected:
  SetupDialog& OpenDialog() {
    Trigger("MnuSetup");
    EXPECT_NE(controller->Setup(), nullptr);
    return *controller->Setup();
  }
  static QStringList Shown(const SetupDialog& dialog) {
    QStringList texts;
    for (int n = 1; n <= 10; ++n) texts << dialog.Box(n)->currentText();
    return texts;
  }
  static void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
  }
};

const QStringList kPreselected = {"COM01", "19200", "8", "N", "1",
                                  "COM02", "19200", "8", "N", "1"};

TEST_F(SetupDialogTest, OffersCom01AndCom02At19200Baud8N1WhateverTheSettings) {
  testing::WriteFile(folder.path() / "vorlink.ini",
                     "05,9600,E,7,2\r\n127.0.0.1\r\n06,4800,O,7,2\r\ntrue\r\n");
  Start();
  SetupDialog& dialog = OpenDialog();
  EXPECT_EQ(Shown(dialog), kPreselected);
  EXPECT_EQ(dialog.IncomingPortLine(), "01,19200,N,8,1");
  EXPECT_EQ(dialog.OutgoingPortLine(), "02,19200,N,8,1");
  // A dialog closed without OK comes back as new, whatever was chosen in it.
  dialog.Box(2)->setCurrentIndex(0);
  dialog.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Shown(OpenDialog()), kPreselected);
}

TEST_F(SetupDialogTest, HasItsTitleCaptionsAndLayout) {
  SetupDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), " Setup COM - TNC");
  EXPECT_FALSE(dialog.isModal());
  // 235 high for the two port frames, 68 more for the KISS-over-TCP frame,
  // 96 for the KISS server's and 80 for the devices.
  EXPECT_EQ(dialog.size(), QSize(420, 479));
  const QStringList captions = {"Port:", "Baud:", "Data:", "Parity:", "Stop:"};
  for (int i = 0; i < 10; ++i) {
    QLabel* label = dialog.Caption(i);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->objectName(), "Label1");
    EXPECT_EQ(label->text(), captions[i % 5]) << i;
    EXPECT_EQ(dialog.Box(i + 1)->parentWidget(), label->parentWidget()) << i;
  }
  EXPECT_EQ(dialog.findChildren<QLabel*>("Label1").size(), 10);
  auto* incoming = qobject_cast<QGroupBox*>(dialog.Caption(0)->parentWidget());
  auto* outgoing = qobject_cast<QGroupBox*>(dialog.Caption(5)->parentWidget());
  ASSERT_TRUE(incoming && outgoing);
  EXPECT_EQ(incoming->title(), "incoming COM port");
  EXPECT_EQ(outgoing->title(), "outgoing COM port");

  struct Place {
    QWidget* widget;
    QRect at;
  };
  const Place places[] = {
      {incoming, QRect(8, 8, 329, 105)},          {outgoing, QRect(8, 120, 329, 105)},
      {dialog.Caption(0), QRect(8, 40, 25, 17)},   {dialog.Box(1), QRect(8, 64, 65, 21)},
      {dialog.Caption(1), QRect(80, 40, 41, 17)},  {dialog.Box(2), QRect(80, 64, 89, 21)},
      {dialog.Caption(7), QRect(176, 40, 33, 17)}, {dialog.Box(8), QRect(176, 64, 41, 21)},
      {dialog.Caption(3), QRect(224, 40, 41, 17)}, {dialog.Box(4), QRect(224, 64, 41, 21)},
      {dialog.Caption(9), QRect(272, 40, 33, 17)}, {dialog.Box(10), QRect(272, 64, 41, 21)},
      {dialog.findChild<QPushButton*>("Command2"), QRect(352, 160, 57, 25)},
      {dialog.findChild<QPushButton*>("Command1"), QRect(352, 200, 57, 25)},
  };
  for (const Place& place : places) {
    ASSERT_NE(place.widget, nullptr);
    EXPECT_EQ(place.widget->geometry(), place.at) << place.widget->objectName().toStdString();
  }
  EXPECT_EQ(dialog.findChild<QPushButton*>("Command2")->text(), "Cancel");
  EXPECT_EQ(dialog.findChild<QPushButton*>("Command1")->text(), "OK");
}

TEST_F(SetupDialogTest, OkWithoutChangesSavesReloadsAndKeepsTheCounters) {
  WriteConfig("false");
  Start();
  EXPECT_EQ(Received(com1), "4B 49 53 53 20 4F 4E 0D");
  com1.Write(Hex(kFrame20));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 1; }));
  MainWindow* first = &Main();
  const auto firstKss = first->Captures().KssFileName();
  clock.local.minute = 1;

  SetupDialog& dialog = OpenDialog();
  Click(dialog, "Command1");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // The exit script of the old window, then the start script of the new one.
  EXPECT_EQ(Received(com1), "1B 4B 0D 4B 49 53 53 20 4F 4E 0D");
  EXPECT_EQ(controller->Setup(), nullptr);
  ASSERT_NE(controller->Main(), nullptr);
  EXPECT_NE(controller->Main(), first);
  EXPECT_TRUE(Main().IsLoaded());
  EXPECT_TRUE(Main().isVisible());
  EXPECT_EQ(station.settings.IncomingPortLine, "01,19200,N,8,1");
  EXPECT_EQ(station.settings.OutgoingPortLine, "02,19200,N,8,1");
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"),
            "01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  EXPECT_NE(Main().Captures().KssFileName(), firstKss);
  EXPECT_TRUE(std::filesystem::exists(Main().Captures().KssFileName()));
  EXPECT_EQ(station.counters.BytesReceived, 20u);
  EXPECT_EQ(station.counters.FrameCount, 1);
  // The reloaded window shows the counters from the next receive event on.
  EXPECT_EQ(LabelText("Label9"), "");
  EXPECT_EQ(PaneText(), "");
  com1.Write(Hex(kFrame20));
  ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == 2; }));
  EXPECT_EQ(LabelText("Label9"), "40 Bytes received (2 Frames)");
}

TEST_F(SetupDialogTest, ShareOverTcpIsSavedAndTheNewWindowListens) {
  WriteConfig("false");
  Start();
  SetupDialog& dialog = OpenDialog();
  auto* on = dialog.findChild<QCheckBox*>("KissServer");
  auto* host = dialog.findChild<QLineEdit*>("KissServerHost");
  auto* port = dialog.findChild<QLineEdit*>("KissServerPort");
  auto* transmit = dialog.findChild<QCheckBox*>("KissServerTransmit");
  ASSERT_TRUE(on && host && port && transmit);
  EXPECT_EQ(qobject_cast<QGroupBox*>(on->parentWidget())->title(), "share over TCP");
  EXPECT_FALSE(on->isChecked());
  EXPECT_EQ(host->text(), "127.0.0.1");
  EXPECT_EQ(port->text(), "8100");
  EXPECT_FALSE(host->isEnabled());
  EXPECT_FALSE(transmit->isChecked());
  std::uint16_t free = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    free = probe.serverPort();
  }
  on->setChecked(true);
  EXPECT_TRUE(host->isEnabled() && port->isEnabled() && transmit->isEnabled());
  port->setText(QString::number(free));
  transmit->setChecked(true);
  Click(dialog, "Command1");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  const KissServerChoice saved{true, {"127.0.0.1", free}, true};
  EXPECT_EQ(station.config.kissServer, saved);
  EXPECT_EQ(ReadStationConfig(folder.path()).kissServer, saved);
  EXPECT_NE(ReadText(folder.path() / "vorlink.conf").find("[kiss_server]"), std::string::npos);
  ASSERT_NE(Main().findChild<QtKissServer*>("KissServer"), nullptr);
  EXPECT_EQ(Main().findChild<QtKissServer*>("KissServer")->Port(), free);
  // Shown again as saved.
  EXPECT_EQ(OpenDialog().ChosenSharing(), saved);
}

// The server's limits are only read: what the file says, kept within bounds.
TEST(KissServerLimitsFileTest, ReadWithinBoundsDefaultsOtherwise) {
  struct Row {
    const char* name;
    const char* group;  // nullptr: no file at all
    KissServerLimits limits;
  } rows[] = {
      {"no file", nullptr, {}},
      {"no keys", "enabled=true\n", {}},
      {"both given", "max_clients=5\nqueue_budget_kib=1024\n", {5, std::size_t{1} << 20}},
      {"not numbers", "max_clients=many\nqueue_budget_kib=lots\n", {}},
      {"too small", "max_clients=0\nqueue_budget_kib=1\n", {1, kLeastKissServerBudget}},
      {"too large", "max_clients=99999\nqueue_budget_kib=99999999999\n",
       {kMostKissServerClients, kMostKissServerBudget}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::TempFolder folder;
    if (row.group != nullptr) {
      testing::WriteFile(folder.path() / "vorlink.conf", std::string("[kiss_server]\n") + row.group);
    }
    EXPECT_EQ(ReadStationConfig(folder.path()).kissServerLimits, row.limits);
  }
}

TEST_F(SetupDialogTest, OkAppliesTheChosenPortsAndKeepsMirroringOn) {
  WriteConfig("true");
  testing::PtyPair com3;
  com3.LinkAs(folder.path() / "COM3");
  Start();
  Received(com1);
  SetupDialog& dialog = OpenDialog();
  dialog.Box(6)->setCurrentText("COM03");
  dialog.Box(7)->setCurrentText("9600");
  dialog.Box(8)->setCurrentText("7");
  dialog.Box(9)->setCurrentText("E");
  Click(dialog, "Command1");
  EXPECT_EQ(station.settings.OutgoingPortLine, "03,9600,E,7,1");
  EXPECT_EQ(LabelText("Label8"), "COM 3, 9600,E,7,1 initialized ");
  EXPECT_TRUE(Find<QAction>("MnuMirror")->isChecked());
  EXPECT_TRUE(Main().MirrorPort().PortOpen());
  Received(com1);
  com1.Write(Hex(kFrame20));
  EXPECT_EQ(Received(com3), kFrame20);
}

TEST_F(SetupDialogTest, TypedTextThatFitsThePortLineIsSaved) {
  WriteConfig("false");
  Start();
  SetupDialog& dialog = OpenDialog();
  const auto type = [&](int box, const char* text) {
    dialog.Box(box)->lineEdit()->selectAll();
    QTest::keyClicks(dialog.Box(box)->lineEdit(), text);
  };
  type(2, "2400");  // not in the list
  type(6, "com7");
  type(10, "x");  // no stop bits at all: the preselected entry
  // Enter only finishes the typing; it is no OK.
  QTest::keyClick(dialog.Box(2)->lineEdit(), Qt::Key_Return);
  ASSERT_EQ(controller->Setup(), &dialog);
  EXPECT_EQ(station.settings.IncomingPortLine, "01,19200,N,8,1");
  Click(dialog, "Command1");
  EXPECT_EQ(station.settings.IncomingPortLine, "01,2400,N,8,1");
  EXPECT_EQ(station.settings.OutgoingPortLine, "07,19200,N,8,1");
}

TEST_F(SetupDialogTest, CancelTheCloseBoxAndEscapeChangeNothing) {
  WriteConfig("false");
  Start();
  Received(com1);
  MainWindow* window = &Main();
  const std::string before = ReadText(folder.path() / "vorlink.ini");
  const Settings settings = station.settings;
  enum class Way { kCancel, kCloseBox, kEscape };
  for (Way way : {Way::kCancel, Way::kCloseBox, Way::kEscape}) {
    SetupDialog& dialog = OpenDialog();
    dialog.Box(1)->setCurrentText("COM05");
    switch (way) {
      case Way::kCancel: Click(dialog, "Command2"); break;
      case Way::kCloseBox: dialog.close(); break;
      case Way::kEscape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(controller->Setup(), nullptr) << static_cast<int>(way);
  }
  EXPECT_EQ(controller->Main(), window);
  EXPECT_TRUE(window->IsLoaded());
  EXPECT_EQ(station.settings, settings);
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"), before);
  EXPECT_EQ(Received(com1, 100ms), "");
}

TEST_F(SetupDialogTest, SecondChoiceBringsTheOpenDialogForwardWithItsChoices) {
  WriteConfig("false");
  Start();
  SetupDialog& dialog = OpenDialog();
  dialog.Box(2)->setCurrentText("9600");
  Trigger("MnuSetup");
  EXPECT_EQ(controller->Setup(), &dialog);
  EXPECT_EQ(dialog.Box(2)->currentText(), "9600");
  EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &dialog; }));
}

TEST_F(SetupDialogTest, FirstStartWithoutConfigurationFileOpensItWithTheFocus) {
  Start();
  ASSERT_NE(controller->Setup(), nullptr);
  SetupDialog& dialog = *controller->Setup();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(Main().isVisible());
  EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &dialog; }));
  // The start-up went on without waiting for it, with no port to open.
  EXPECT_TRUE(Main().IsLoaded());
  EXPECT_FALSE(Main().IncomingPort().PortOpen());
}

TEST_F(SetupDialogTest, PortToolTipsNameTheLinkAndWhereItLeads) {
  SetupDialog dialog;
  EXPECT_EQ(dialog.Box(1)->toolTip().toStdString(), "COM1 is a link to " + com1.SlaveName());
  EXPECT_EQ(dialog.Box(6)->toolTip().toStdString(), "COM2 is a link to " + com2.SlaveName());
  dialog.Box(1)->setCurrentText("COM03");
  EXPECT_EQ(dialog.Box(1)->toolTip(), "COM3 opens /dev/ttyS2");
  dialog.Box(6)->setCurrentText("com1");
  EXPECT_EQ(dialog.Box(6)->toolTip().toStdString(), "COM1 is a link to " + com1.SlaveName());
}

TEST_F(SetupDialogTest, DeviceChosenBecomesTheComLinkThatTheNewWindowOpens) {
  WriteConfig("false");
  // The TNC as a USB adapter shows itself: under a stable name only.
  testing::PtyPair tnc;
  const std::filesystem::path byId = folder.path() / "by-id";
  const std::string stable = (byId / "usb-Vorlink_TNC_A1-if00-port0").string();
  std::filesystem::create_directories(byId);
  tnc.LinkAs(stable);
  testing::FakeDeviceSource devices;
  devices.devices = {{stable, tnc.SlaveName(), "TNC", "Maker", "A1"}};
  Start().UseDevices(devices);
  Received(com1);
  SetupDialog& dialog = OpenDialog();
  QComboBox* list = dialog.DeviceBox(SetupFrame::Incoming);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "none (use COM 1 as it is)");
  EXPECT_EQ(list->itemText(1).toStdString(),
            stable + " (" + tnc.SlaveName() + ", TNC, Maker, serial number A1)");
  EXPECT_EQ(dialog.DeviceBox(SetupFrame::Outgoing)->itemText(0), "none (use COM 2 as it is)");
  dialog.Box(1)->setCurrentText("COM03");
  EXPECT_EQ(list->itemText(0), "none (use COM 3 as it is)");
  list->setCurrentIndex(1);
  EXPECT_EQ(dialog.Box(1)->toolTip().toStdString(), "COM3 will be a link to " + stable);
  // A device plugged in meanwhile is there when the list opens; the choice stays.
  devices.devices.insert(devices.devices.begin(), {"/dev/ttyACM5", "/dev/ttyACM5", "", "", ""});
  list->showPopup();
  list->hidePopup();
  EXPECT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentIndex(), 2);

  Click(dialog, "Command1");
  EXPECT_EQ(std::filesystem::read_symlink(folder.path() / "COM3").string(), stable);
  EXPECT_EQ(std::filesystem::read_symlink(folder.path() / "COM2").string(), com2.SlaveName());
  EXPECT_EQ(ReadText(folder.path() / "vorlink.ini"),
            "03,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  EXPECT_EQ(Received(tnc), "4B 49 53 53 20 4F 4E 0D");
  EXPECT_EQ(LabelText("Label2"), "COM 3, 19200,N,8,1 initialized ");
}

}  // namespace
}  // namespace vorlink
