// The incoming port's label and the status line after start-up, with COM1
// attached to whatever a new user might have left there.
#include <gtest/gtest.h>

#include <QLabel>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/station_session.h"
#include "controller_fixture.h"
#include "ui/setup_dialog.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

struct PortOpenCase {
  const char* name;
  const char* incomingLine;
  std::function<void(const fs::path& folder)> attach;  // what COM1 is made
  const char* label2;
  std::string_view status;
};

void PrintTo(const PortOpenCase& c, std::ostream* os) { *os << c.name; }

class PortOpenTest : public testing::ControllerTest,
                     public ::testing::WithParamInterface<PortOpenCase> {};

TEST_P(PortOpenTest, LabelAndStatusTellWhetherThePortOpened) {
  const PortOpenCase& c = GetParam();
  c.attach(folder.path());
  testing::WriteFile(folder.path() / "vorlink.ini",
                     std::string(c.incomingLine) + "\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n");
  Start();
  EXPECT_EQ(LabelText("Label2"), c.label2);
  EXPECT_EQ(Main().SimpleText().toStdString(), c.status);
  // Only a start without a TNC port asks for one.
  const bool asked = controller->Setup() != nullptr && controller->Setup()->isVisible();
  EXPECT_EQ(asked, c.status == kNoTncPortChosen);
}

void Relink(const fs::path& folder, const fs::path& target) {
  fs::remove(folder / "COM1");
  fs::create_symlink(target, folder / "COM1");
}

INSTANTIATE_TEST_SUITE_P(
    Com1, PortOpenTest,
    ::testing::Values(
        PortOpenCase{"OnAPseudoTerminal", "01,19200,N,8,1", [](const fs::path&) {},
                     "COM 1, 19200,N,8,1 initialized ", "done"},
        PortOpenCase{"LinkedToNothing", "01,19200,N,8,1",
                     [](const fs::path& f) { Relink(f, f / "unplugged"); },
                     "COM 1, 19200,N,8,1 not available ", "COM 1: No such file or directory"},
        PortOpenCase{"LinkedToADirectory", "01,19200,N,8,1",
                     [](const fs::path& f) {
                       fs::create_directory(f / "folder");
                       Relink(f, f / "folder");
                     },
                     "COM 1, 19200,N,8,1 not available ", "COM 1: Is a directory"},
        PortOpenCase{"PortZero", "00,19200,N,8,1", [](const fs::path&) {},
                     "COM 0, 19200,N,8,1 not available ", kNoTncPortChosen},
        PortOpenCase{"HandWrittenLine", "1,9600,n,8,1", [](const fs::path&) {},
                     "COM 1, 9600,N,8,1 initialized ", "done"},
        PortOpenCase{"BaudNotUnderstood", "01,abc,N,8,1", [](const fs::path&) {},
                     "COM 1, 9600,N,8,1 initialized ",
                     "vorlink.ini line 1: baud rate abc not understood"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
