// The frames of every window are filled with the window's own light grey, as
// the screen shows them: each window is grabbed and the pixels inside its
// frames that no control covers are read back.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <functional>
#include <memory>

#include "fake_clock.h"
#include "temp_folder.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "ui/setup_dialog.h"

namespace vorlink {
namespace {

const QColor kWindowGrey(0xE0, 0xE0, 0xE0);
// Clear of the frame's border line and rounded corners.
constexpr int kBorderMargin = 4;
constexpr int kSampleStep = 3;

struct FrameFillCase {
  const char* name;
  std::function<std::unique_ptr<QWidget>(Station&, Clock&)> make;
};

void PrintTo(const FrameFillCase& c, std::ostream* os) { *os << c.name; }

// Points inside the frame, below its caption, that no child control covers.
std::vector<QPoint> FreePoints(const QGroupBox& frame) {
  std::vector<QPoint> points;
  const QRect inside = frame.contentsRect().adjusted(kBorderMargin, kBorderMargin,
                                                     -kBorderMargin, -kBorderMargin);
  for (int y = inside.top(); y <= inside.bottom(); y += kSampleStep) {
    for (int x = inside.left(); x <= inside.right(); x += kSampleStep) {
      if (frame.childAt(x, y) == nullptr) points.emplace_back(x, y);
    }
  }
  return points;
}

class FrameFillTest : public ::testing::TestWithParam<FrameFillCase> {};

TEST_P(FrameFillTest, FramesShowTheWindowGrey) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  Station station;
  station.programFolder = folder.path();
  station.workingFolder = folder.path();
  std::unique_ptr<QWidget> window = GetParam().make(station, clock);
  window->show();
  const QImage shot = window->grab().toImage();
  const auto frames = window->findChildren<QGroupBox*>();
  ASSERT_FALSE(frames.isEmpty());
  for (const QGroupBox* frame : frames) {
    const auto points = FreePoints(*frame);
    ASSERT_FALSE(points.empty()) << frame->objectName().toStdString();
    int wrong = 0;
    QColor first;
    for (const QPoint& p : points) {
      const QColor seen = shot.pixelColor(frame->mapTo(window.get(), p));
      if (seen != kWindowGrey && wrong++ == 0) first = seen;
    }
    EXPECT_EQ(wrong, 0) << frame->objectName().toStdString() << ": " << wrong << " of "
                        << points.size() << " pixels differ, the first "
                        << first.name().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FrameFillTest,
    ::testing::Values(
        FrameFillCase{"MainWindow",
                      [](Station& station, Clock& clock) -> std::unique_ptr<QWidget> {
                        return std::make_unique<MainWindow>(WindowEnvironment{station, clock});
                      }},
        FrameFillCase{"SetupDialog",
                      [](Station&, Clock&) -> std::unique_ptr<QWidget> {
                        return std::make_unique<SetupDialog>();
                      }},
        FrameFillCase{"AboutWindow",
                      [](Station&, Clock&) -> std::unique_ptr<QWidget> {
                        return std::make_unique<AboutWindow>();
                      }}),
    [](const ::testing::TestParamInfo<FrameFillCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vorlink
