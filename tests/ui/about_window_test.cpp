#include "ui/about_window.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include "controller_fixture.h"
#include "ui/setup_dialog.h"
#include "ui/statistics_window.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::kFrame20;
using testing::WaitUntil;

QLabel* Label(const QWidget& window, const char* name) { return window.findChild<QLabel*>(name); }

TEST(AboutWindowTest, VersionLineReadsExactly) {
  EXPECT_EQ(VersionLine(), "Version 8.2.2    (November 28, 2010)");
  AboutWindow window;
  QLabel* Label2 = Label(window, "Label2");
  ASSERT_NE(Label2, nullptr);
  EXPECT_EQ(Label2->text(), "Version 8.2.2    (November 28, 2010)");
  EXPECT_EQ(Label2->parentWidget()->objectName(), "Frame1");
  EXPECT_TRUE(Label2->alignment() & Qt::AlignHCenter);
}

TEST(AboutWindowTest, CaptionFieldsAndPlaces) {
  AboutWindow window;
  EXPECT_EQ(window.windowTitle(), "Vorlink");
  EXPECT_EQ(window.size(), QSize(339, 190));
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

  struct Field {
    const char* name;
    const char* text;
    QRect at;
  };
  const Field fields[] = {
      {"Label1", "VORLINK Decoder and Terminal", QRect(16, 8, 329, 25)},
      {"Label3", "by the VORLINK developers", QRect(16, 40, 217, 17)},
      {"Label8", "N0CALL", QRect(16, 64, 49, 17)},
      {"Label2", "Version 8.2.2    (November 28, 2010)", QRect(8, 16, 193, 17)},
      {"Picture1", "", QRect(232, 72, 102, 102)},
      {"Label6", "Homepage:", QRect(16, 144, 57, 17)},
      {"Label4", "vorlink.example.org", QRect(80, 144, 121, 17)},
      {"Label7", "e-mail:", QRect(16, 168, 41, 17)},
      {"Label5", "vorlink@example.org", QRect(80, 168, 121, 17)},
  };
  for (const Field& field : fields) {
    QLabel* label = Label(window, field.name);
    ASSERT_NE(label, nullptr) << field.name;
    EXPECT_EQ(label->text(), field.text) << field.name;
    EXPECT_EQ(label->geometry(), field.at) << field.name;
  }
  EXPECT_EQ(window.findChild<QGroupBox*>("Frame1")->geometry(), QRect(16, 88, 209, 41));
  EXPECT_TRUE(Label(window, "Label1")->font().bold());
  EXPECT_DOUBLE_EQ(Label(window, "Label1")->font().pointSizeF(), 12);
  EXPECT_TRUE(Label(window, "Label8")->font().bold());
  EXPECT_FALSE(Label(window, "Picture1")->pixmap().isNull());
  // Link looks, no link behaviour.
  for (const char* name : {"Label4", "Label5"}) {
    QLabel* link = Label(window, name);
    EXPECT_TRUE(link->font().underline()) << name;
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << name;
    EXPECT_FALSE(link->openExternalLinks()) << name;
    EXPECT_EQ(link->textFormat(), Qt::PlainText) << name;
  }
}

class OpenWindowsTest : public testing::ControllerTest {};

TEST_F(OpenWindowsTest, MainWindowKeepsReceivingWhileTheOtherWindowsAreOpen) {
  WriteConfig("false");
  Start();
  Trigger("MnuAbout");
  Trigger("MnuStatistics");
  Trigger("MnuSetup");
  ASSERT_NE(controller->About(), nullptr);
  ASSERT_NE(controller->Statistics(), nullptr);
  ASSERT_NE(controller->Setup(), nullptr);
  for (QWidget* window : std::initializer_list<QWidget*>{
           controller->About(), controller->Statistics(), controller->Setup()}) {
    EXPECT_TRUE(window->isVisible()) << window->objectName().toStdString();
    EXPECT_FALSE(window->isModal()) << window->objectName().toStdString();
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  for (int i = 1; i <= 3; ++i) {
    com1.Write(Hex(kFrame20));
    ASSERT_TRUE(WaitUntil([&] { return station.counters.FrameCount == i; }));
  }
  EXPECT_EQ(PaneText().count("from XYZ-7 to ABC"), 3);
  // A second About brings the same window forward.
  AboutWindow* about = controller->About();
  Trigger("MnuAbout");
  EXPECT_EQ(controller->About(), about);
}

TEST_F(OpenWindowsTest, ExitClosesEveryWindowAndEndsTheProgramOnce) {
  WriteConfig("false");
  Start();
  Received(com1);
  Trigger("MnuFrames");
  Trigger("MnuAbout");
  ASSERT_NE(controller->Frames(), nullptr);
  int ended = 0;
  QEventLoop program;
  QObject::connect(controller.get(), &AppController::Ended, &program, [&] {
    ++ended;
    program.quit();
  });
  QTimer::singleShot(0, [&] { Trigger("MnuExit"); });
  QTimer::singleShot(5000, &program, [&] { program.exit(1); });
  EXPECT_EQ(program.exec(), 0);
  EXPECT_EQ(Received(com1), "1B 4B 0D");  // the exit script
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  EXPECT_EQ(controller->Main(), nullptr);
  EXPECT_EQ(controller->Frames(), nullptr);
  EXPECT_EQ(controller->About(), nullptr);
  EXPECT_EQ(ended, 1);
}

}  // namespace
}  // namespace vorlink
