// The serial port component against pseudo-terminals: the test holds the
// master side and plays the TNC; the port opens the slave through a COM1
// link in a temporary working directory.
#include "link/qt_serial_port.h"

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "link/port_device.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::TempFolder;

constexpr auto kBound = 2000ms;
constexpr const char* kLine = "19200,N,8,1";

// Runs the event loop until `done` holds or the bound passes.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = kBound) {
  if (done()) return true;
  QEventLoop loop;
  QTimer check;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done() || clock.elapsed() > bound.count()) loop.quit();
  });
  check.start(5);
  loop.exec();
  return done();
}

void Spin(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, &loop, &QEventLoop::quit);
  loop.exec();
}

std::vector<std::uint8_t> EveryByteValue() {
  std::vector<std::uint8_t> bytes(256);
  std::iota(bytes.begin(), bytes.end(), 0);
  return bytes;
}

// A pseudo-terminal whose slave is closed until the port opens it.
class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    if (::openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0) return;
    slaveName_ = ::ttyname(slave);
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slaveName_.empty(); }
  const std::string& slaveName() const { return slaveName_; }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  bool Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    return WaitFor([&] {
      const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
      return sent == bytes.size();
    });
  }

  // Everything the port sent until `count` bytes came or the bound passed.
  std::vector<std::uint8_t> Read(std::size_t count) {
    std::vector<std::uint8_t> got;
    WaitFor([&] {
      std::uint8_t chunk[1024];
      ssize_t n;
      while ((n = ::read(master_, chunk, sizeof chunk)) > 0) got.insert(got.end(), chunk, chunk + n);
      return got.size() >= count;
    });
    return got;
  }

 private:
  int master_ = -1;
  std::string slaveName_;
};

// Puts the process in a temporary folder for the test and back afterwards.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~WorkingDirectory() { fs::current_path(previous_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  fs::path previous_;
};

class QtSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok());
    fs::create_symlink(pty_.slaveName(), folder_.path() / "COM1");
    connect_ = QObject::connect(&port_, &QtSerialPort::OnComm, [this](int code) {
      events_.push_back(code);
      if (code == kCommEvReceive) {
        const auto bytes = port_.Input();
        received_.insert(received_.end(), bytes.begin(), bytes.end());
      }
    });
  }

  bool OpenCom1() {
    return port_.SetCommPort(1) && port_.SetSettings(kLine) && port_.SetPortOpen(true);
  }

  TempFolder folder_;
  WorkingDirectory here_{folder_.path()};
  PtyPair pty_;
  QtSerialPort port_;
  QMetaObject::Connection connect_;
  std::vector<int> events_;
  std::vector<std::uint8_t> received_;
};

TEST_F(QtSerialPortTest, StartsClosedOnPortZeroWithADefaultLine) {
  EXPECT_FALSE(port_.PortOpen());
  EXPECT_EQ(port_.CommPort(), 0);
  EXPECT_EQ(port_.Settings(), "9600,N,8,1");
}

TEST_F(QtSerialPortTest, OpensThePortThroughItsLink) {
  ASSERT_TRUE(OpenCom1());
  EXPECT_TRUE(port_.PortOpen());
  EXPECT_EQ(port_.CommPort(), 1);
  EXPECT_EQ(port_.Settings(), kLine);
  EXPECT_EQ(PortDevice(1), fs::path(pty_.slaveName()));
}

TEST_F(QtSerialPortTest, EveryByteValueArrivesUnchanged) {
  ASSERT_TRUE(OpenCom1());
  const auto sent = EveryByteValue();
  ASSERT_TRUE(pty_.Write(sent));
  ASSERT_TRUE(WaitFor([&] { return received_.size() >= sent.size(); }));
  EXPECT_EQ(received_, sent);
  ASSERT_FALSE(events_.empty());
  for (int code : events_) EXPECT_EQ(code, kCommEvReceive);
  EXPECT_EQ(port_.CommEvent(), kCommEvReceive);
}

TEST_F(QtSerialPortTest, InputIsEmptyWhenNothingWaits) {
  ASSERT_TRUE(OpenCom1());
  EXPECT_TRUE(port_.Input().empty());
  ASSERT_TRUE(port_.SetPortOpen(false));
  EXPECT_TRUE(port_.Input().empty());
}

TEST_F(QtSerialPortTest, OutputReachesTheDevice) {
  ASSERT_TRUE(OpenCom1());
  const auto sent = EveryByteValue();
  EXPECT_TRUE(port_.Output(sent));
  EXPECT_TRUE(port_.Output(std::string_view("TEST\r")));
  auto expected = sent;
  for (char c : std::string("TEST\r")) expected.push_back(static_cast<std::uint8_t>(c));
  EXPECT_EQ(pty_.Read(expected.size()), expected);
}

TEST_F(QtSerialPortTest, ManySmallWritesKeepTheirOrder) {
  ASSERT_TRUE(OpenCom1());
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 2000; ++i) {
    const std::uint8_t byte = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(port_.Output(std::span(&byte, 1)));
    expected.push_back(byte);
  }
  EXPECT_EQ(pty_.Read(expected.size()), expected);
}

TEST_F(QtSerialPortTest, BytesWrittenJustBeforeClosingArrive) {
  ASSERT_TRUE(OpenCom1());
  std::vector<std::uint8_t> script;
  for (int i = 0; i < 16; ++i) {
    const auto line = EveryByteValue();
    script.insert(script.end(), line.begin(), line.end());
  }
  ASSERT_TRUE(port_.Output(script));
  ASSERT_TRUE(port_.SetPortOpen(false));
  EXPECT_FALSE(port_.PortOpen());
  EXPECT_EQ(pty_.Read(script.size()), script);
}

TEST_F(QtSerialPortTest, OutputOnAClosedPortIsRefused) {
  const std::uint8_t byte = 0xC0;
  EXPECT_FALSE(port_.Output(std::span(&byte, 1)));
}

TEST_F(QtSerialPortTest, MalformedSettingsKeepThePreviousLine) {
  ASSERT_TRUE(port_.SetSettings(kLine));
  for (const char* bad : {"19200,X,8,1", "abc", ""}) {
    EXPECT_FALSE(port_.SetSettings(bad)) << bad;
    EXPECT_EQ(port_.Settings(), kLine) << bad;
  }
}

TEST_F(QtSerialPortTest, SettingsChangeWhileOpenAndReadBackInUpperCase) {
  ASSERT_TRUE(OpenCom1());
  EXPECT_TRUE(port_.SetSettings("9600,n,8,2"));
  EXPECT_EQ(port_.Settings(), "9600,N,8,2");
  EXPECT_FALSE(port_.SetSettings("9600,Q,7,2"));
  EXPECT_EQ(port_.Settings(), "9600,N,8,2");
  EXPECT_TRUE(port_.PortOpen());
}

TEST_F(QtSerialPortTest, LineTheDriverRefusesLeavesThePreviousOneWorking) {
  ASSERT_TRUE(OpenCom1());
  // A pseudo-terminal here takes no parity or character size while open; a
  // driver that does take them must then read back the new line.
  const bool taken = port_.SetSettings("9600,E,7,1");
  EXPECT_EQ(port_.Settings(), taken ? "9600,E,7,1" : kLine);
  EXPECT_TRUE(port_.PortOpen());
  ASSERT_TRUE(pty_.Write({0xC0, 0x00, 0x41, 0xC0}));
  EXPECT_TRUE(WaitFor([&] { return received_.size() == 4; }));
}

TEST_F(QtSerialPortTest, PortNumberIsKeptWhileOpen) {
  ASSERT_TRUE(OpenCom1());
  EXPECT_FALSE(port_.SetCommPort(2));
  EXPECT_EQ(port_.CommPort(), 1);
  ASSERT_TRUE(port_.SetPortOpen(false));
  EXPECT_TRUE(port_.SetCommPort(2));
  EXPECT_FALSE(port_.SetCommPort(-1));
  EXPECT_EQ(port_.CommPort(), 2);
}

TEST_F(QtSerialPortTest, PortZeroDoesNotOpen) {
  ASSERT_TRUE(port_.SetCommPort(0));
  EXPECT_FALSE(port_.SetPortOpen(true));
  EXPECT_FALSE(port_.PortOpen());
}

TEST_F(QtSerialPortTest, MissingDeviceDoesNotOpen) {
  fs::create_symlink(folder_.path() / "unplugged", folder_.path() / "COM2");
  ASSERT_TRUE(port_.SetCommPort(2));
  EXPECT_FALSE(port_.SetPortOpen(true));
  EXPECT_FALSE(port_.PortOpen());
}

// The mirror's queue limit relies on this count: what was handed to the port
// and the device has not taken yet.
TEST_F(QtSerialPortTest, BytesToWriteCountsWhatTheDeviceHasNotTaken) {
  ASSERT_TRUE(OpenCom1());
  const std::vector<std::uint8_t> chunk(64 * 1024, 0x7E);
  constexpr int kChunks = 48;  // 3 MiB into a far end nobody reads
  std::size_t mostQueued = 0;
  for (int i = 0; i < kChunks; ++i) {
    ASSERT_TRUE(port_.Output(chunk));
    mostQueued = std::max(mostQueued, port_.BytesToWrite());
    Spin(1ms);
  }
  EXPECT_GT(mostQueued, std::size_t{2} * 1024 * 1024);

  const auto got = pty_.Read(kChunks * chunk.size());
  EXPECT_EQ(got.size(), kChunks * chunk.size());
  EXPECT_TRUE(WaitFor([&] { return port_.BytesToWrite() == 0; }));
}

TEST_F(QtSerialPortTest, ReopensAfterClosing) {
  ASSERT_TRUE(OpenCom1());
  ASSERT_TRUE(port_.SetPortOpen(false));
  ASSERT_TRUE(port_.SetPortOpen(true));
  ASSERT_TRUE(pty_.Write({0xC0, 0x00, 0xC0}));
  EXPECT_TRUE(WaitFor([&] { return received_.size() == 3; }));
}

// How the bytes come: `bytes` in writes of `piece`, with the event loop run
// for `gap` between them (none: as fast as the pseudo-terminal takes them).
struct PacingCase {
  const char* name;
  std::size_t bytes;
  std::size_t piece;
  std::chrono::milliseconds gap;
  std::size_t mostReads;
  bool paced;  // every read rests; otherwise hardly any does
};

void PrintTo(const PacingCase& c, std::ostream* os) { *os << c.name; }

class ReadPacingTest : public QtSerialPortTest,
                       public ::testing::WithParamInterface<PacingCase> {};

TEST_P(ReadPacingTest, ReadsRestOnlyAfterSmallOnes) {
  const PacingCase& c = GetParam();
  ASSERT_TRUE(OpenCom1());
  std::vector<std::uint8_t> sent(c.bytes);
  std::iota(sent.begin(), sent.end(), 0);
  for (std::size_t at = 0; at < sent.size(); at += c.piece) {
    const auto end = sent.begin() + static_cast<std::ptrdiff_t>(std::min(sent.size(), at + c.piece));
    ASSERT_TRUE(pty_.Write({sent.begin() + static_cast<std::ptrdiff_t>(at), end}));
    if (c.gap > 0ms) Spin(c.gap);
  }
  ASSERT_TRUE(WaitFor([&] { return received_.size() >= sent.size(); }));
  EXPECT_EQ(received_, sent);
  const std::size_t reads = events_.size();
  EXPECT_LE(reads, c.mostReads);
  if (c.paced) {
    EXPECT_EQ(port_.ReadRests(), reads);
  } else {
    EXPECT_LE(port_.ReadRests() * 4, reads) << port_.ReadRests() << " rests in " << reads;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadPacingTest,
    ::testing::Values(
        // A byte every millisecond or so, as a slow device hands them over;
        // the event loop runs between them and would read each one by itself.
        PacingCase{"TrickleInFewChunks", 200, 1, 1ms, 50, true},
        // Far more than the driver holds at once: read in its large pieces,
        // one after the other.
        PacingCase{"BurstInLargeChunks", 1024 * 1024, 1024 * 1024, 0ms,
                   1024 * 1024 / kLargeRead, false}),
    [](const auto& info) { return std::string(info.param.name); });

double ProcessCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST_F(QtSerialPortTest, VanishedDeviceClosesThePortOnce) {
  ASSERT_TRUE(OpenCom1());
  int lost = 0;
  QObject::connect(&port_, &QtSerialPort::DeviceLost, [&] { ++lost; });
  pty_.CloseMaster();
  ASSERT_TRUE(WaitFor([&] { return !port_.PortOpen(); }));
  EXPECT_EQ(lost, 1);

  // Nothing keeps the process busy afterwards.
  const double before = ProcessCpuSeconds();
  Spin(300ms);
  EXPECT_LT(ProcessCpuSeconds() - before, 0.15);
  EXPECT_EQ(lost, 1);
  EXPECT_FALSE(port_.PortOpen());
  const std::uint8_t byte = 0;
  EXPECT_FALSE(port_.Output(std::span(&byte, 1)));
  EXPECT_TRUE(port_.SetPortOpen(false));
}

struct ReturnCase {
  const char* name;
  bool linkRemovedWhileLost;  // as well as its target
};

void PrintTo(const ReturnCase& c, std::ostream* os) { *os << c.name; }

class DeviceReturnTest : public QtSerialPortTest, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(DeviceReturnTest, LostPortOpensOnlyAtItsLinkAndIsReadThere) {
  ASSERT_TRUE(OpenCom1());
  pty_.CloseMaster();
  ASSERT_TRUE(WaitFor([&] { return !port_.PortOpen(); }));
  const fs::path link = folder_.path() / "COM1";
  if (GetParam().linkRemovedWhileLost) fs::remove(link);
  // Not the on-board port that a COM1 without a link would be.
  EXPECT_FALSE(port_.SetPortOpen(true));
  EXPECT_EQ(port_.OpenError(), "No such file or directory");

  PtyPair back;
  ASSERT_TRUE(back.ok());
  fs::remove(link);
  fs::create_symlink(back.slaveName(), link);
  ASSERT_TRUE(port_.SetPortOpen(true));
  ASSERT_TRUE(back.Write({0xC0, 0x00, 0x41, 0xC0}));
  EXPECT_TRUE(WaitFor([&] { return received_.size() == 4; }));
}

INSTANTIATE_TEST_SUITE_P(Links, DeviceReturnTest,
                         ::testing::Values(ReturnCase{"TargetGone", false},
                                           ReturnCase{"LinkGoneToo", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink

int main(int argc, char** argv) {
  // Port events come only through Qt's event loop.
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
