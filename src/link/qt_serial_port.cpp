#include "link/qt_serial_port.h"

#include <linux/serial.h>
#include <sys/ioctl.h>


#include <array>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "link/port_device.h"
#include "link/qt_hand_over.h"

namespace vorlink {
namespace {

using namespace std::chrono_literals;

// Often enough that a line change shows up at once to the operator, rarely
// enough to cost nothing.
constexpr auto kLinePollInterval = 100ms;
constexpr const char* kDefaultSettings = "9600,N,8,1";
constexpr int kWatchedLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
  }
  return QSerialPort::NoParity;
}

QSerialPort::DataBits ToQtDataBits(int bits) {
  switch (bits) {
    case 5: return QSerialPort::Data5;
    case 6: return QSerialPort::Data6;
    case 7: return QSerialPort::Data7;
    default: return QSerialPort::Data8;
  }
}

// Linux has no 1.5 stop bits setting: with 5 data bits the UART sends 1.5
// where 2 are asked for, and the parser allows 1.5 only there.
QSerialPort::StopBits ToQt(StopBits stopBits) {
  return stopBits == StopBits::One ? QSerialPort::OneStop : QSerialPort::TwoStop;
}

// Errors after which the device is gone: a hung-up terminal, a removed adapter.
bool IsDeviceGone(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

bool MeansDeviceGone(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
         error == QSerialPort::WriteError;
}

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent)
    : QObject(parent), settingsText_(kDefaultSettings), settings_(*ParseLineSettings(kDefaultSettings)) {
  linePoll_.setInterval(kLinePollInterval);
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnErrorOccurred);
  connect(&linePoll_, &QTimer::timeout, this, &QtSerialPort::PollLines);
  ApplyLineSettings(settings_);
}

QtSerialPort::~QtSerialPort() {
  // The members go before the QObject base: no signal of theirs may reach us.
  port_.disconnect(this);
  linePoll_.stop();
  if (port_.isOpen()) {
    HandOverQueued(port_);
    port_.close();
  }
}

bool QtSerialPort::SetCommPort(std::int16_t port) {
  if (port < 0 || port_.isOpen()) return false;
  commPort_ = port;
  lostName_.clear();
  return true;
}

bool QtSerialPort::SetSettings(std::string_view settings) {
  const std::optional<LineSettings> parsed = ParseLineSettings(settings);
  if (!parsed) return false;
  if (!ApplyLineSettings(*parsed)) {
    ApplyLineSettings(settings_);
    port_.clearError();
    return false;
  }
  settings_ = *parsed;
  settingsText_ = LineSettingsText(settings);
  return true;
}

bool QtSerialPort::ApplyLineSettings(const LineSettings& settings) {
  // Each setter reaches the driver at once while open, or is kept for the open.
  bool applied = port_.setBaudRate(settings.baud);
  applied = port_.setParity(ToQt(settings.parity)) && applied;
  applied = port_.setDataBits(ToQtDataBits(settings.dataBits)) && applied;
  applied = port_.setStopBits(ToQt(settings.stopBits)) && applied;
  applied = port_.setFlowControl(QSerialPort::NoFlowControl) && applied;
  return applied;
}

bool QtSerialPort::SetPortOpen(bool open) {
  if (open == port_.isOpen()) return true;
  if (!open) {
    ++generation_;
    closing_ = true;
    linePoll_.stop();
    pacer_.Stop();
    HandOverQueued(port_);
    port_.close();
    port_.clearError();
    closing_ = false;
    losing_ = false;
    lostName_.clear();
    return true;
  }
  const std::filesystem::path name = lostName_.empty() ? PortPath(commPort_) : lostName_;
  const std::filesystem::path device = DeviceBehind(name);
  if (device.empty()) {
    // Port 0 names no device, so no open was tried; say so as the system would.
    openError_ = std::system_category().message(ENODEV);
    return false;
  }
  // The retry of a lost device asks every second; a missing node is the
  // usual answer and costs one stat, not an open with its lock file.
  std::error_code missing;
  if (!std::filesystem::exists(device, missing)) {
    openError_ = std::system_category().message(ENOENT);
    return false;
  }
  // An absolute path: QSerialPort would read a bare name as one under /dev.
  port_.setPortName(QString::fromStdString(device.string()));
  ApplyLineSettings(settings_);
  if (!port_.open(QIODevice::ReadWrite)) {
    openError_ = port_.errorString().toStdString();
    port_.clearError();
    return false;
  }
  ++generation_;
  losing_ = false;
  openedBy_ = name;
  lostName_.clear();
  openError_.clear();
  inputBuffer_.clear();
  StartWatchingLines();
  return true;
}

bool QtSerialPort::PortOpen() const { return port_.isOpen(); }

std::span<const std::uint8_t> QtSerialPort::Input() {
  inputBuffer_ = port_.isOpen() ? port_.readAll() : QByteArray();
  return {reinterpret_cast<const std::uint8_t*>(inputBuffer_.constData()),
          static_cast<std::size_t>(inputBuffer_.size())};
}

void QtSerialPort::DiscardInput() {
  // Also drops what the driver holds: nothing waits to be read after this.
  if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

std::size_t QtSerialPort::BytesToWrite() const {
  return port_.isOpen() ? static_cast<std::size_t>(port_.bytesToWrite()) : 0;
}

std::size_t QtSerialPort::BytesWaiting() const {
  return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

bool QtSerialPort::Output(std::span<const std::uint8_t> bytes) {
  if (!port_.isOpen() || losing_) return false;
  if (bytes.empty()) return true;
  // QSerialPort queues the bytes and writes them as the device takes them.
  const qint64 written =
      port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  return written == static_cast<qint64>(bytes.size());
}

void QtSerialPort::OnReadyRead() {
  // Bytes read while we close belong to nobody: the owner is in its
  // shut-down and takes no events.
  if (closing_ || losing_) return;
  // Counted before the owner takes them: the mirror drops them unread.
  const auto brought = static_cast<std::size_t>(port_.bytesAvailable());
  Emit(kCommEvReceive);
  if (port_.isOpen()) pacer_.AfterRead(brought);
}

void QtSerialPort::OnErrorOccurred(QSerialPort::SerialPortError error) {
  if (!MeansDeviceGone(error) || !port_.isOpen() || closing_ || losing_) return;
  // A vanished pseudo-terminal peer makes QSerialPort report ReadError over
  // and over while the port stays open, so this first report closes it. Not
  // here, inside QSerialPort's own read, but right after it returns.
  losing_ = true;
  const unsigned generation = generation_;
  QTimer::singleShot(0, this, [this, generation] {
    if (generation == generation_) CloseLostDevice();
  });
}

void QtSerialPort::CloseLostDevice() {
  if (!port_.isOpen()) return;
  ++generation_;
  linePoll_.stop();
  pacer_.Stop();
  // Nothing can reach a vanished device; close without waiting for it.
  closing_ = true;
  port_.close();
  port_.clearError();
  closing_ = false;
  losing_ = false;
  lostName_ = openedBy_;
  emit DeviceLost();
}

void QtSerialPort::StartWatchingLines() {
  modemLines_ = ReadModemLines();
  counters_ = ReadCounters();
  // A pseudo-terminal has neither; then there is nothing to poll.
  if (modemLines_ || counters_) linePoll_.start();
}

std::optional<int> QtSerialPort::ReadModemLines() {
  int lines = 0;
  if (::ioctl(port_.handle(), TIOCMGET, &lines) == -1) {
    if (IsDeviceGone(errno)) OnErrorOccurred(QSerialPort::ResourceError);
    return std::nullopt;
  }
  return lines & kWatchedLines;
}

std::optional<QtSerialPort::LineCounters> QtSerialPort::ReadCounters() {
  serial_icounter_struct raw{};
  if (::ioctl(port_.handle(), TIOCGICOUNT, &raw) == -1) {
    if (IsDeviceGone(errno)) OnErrorOccurred(QSerialPort::ResourceError);
    return std::nullopt;
  }
  LineCounters counters;
  counters.cts = raw.cts;
  counters.dsr = raw.dsr;
  counters.rng = raw.rng;
  counters.dcd = raw.dcd;
  counters.frame = raw.frame;
  counters.overrun = raw.overrun;
  counters.parity = raw.parity;
  counters.brk = raw.brk;
  counters.bufOverrun = raw.buf_overrun;
  return counters;
}

void QtSerialPort::PollLines() {
  if (!port_.isOpen() || losing_) {
    linePoll_.stop();
    return;
  }
  const std::optional<int> lines = modemLines_ ? ReadModemLines() : std::nullopt;
  const std::optional<LineCounters> counters = counters_ ? ReadCounters() : std::nullopt;
  const std::optional<int> lastLines = modemLines_;
  const std::optional<LineCounters> lastCounters = counters_;
  modemLines_ = lines;
  counters_ = counters;
  if (!modemLines_ && !counters_) linePoll_.stop();
  if (losing_) return;
  EmitChanges(lastLines, lines, lastCounters, counters);
}

void QtSerialPort::EmitChanges(const std::optional<int>& lastLines, const std::optional<int>& lines,
                               const std::optional<LineCounters>& lastCounters,
                               const std::optional<LineCounters>& counters) {
  const bool haveLines = lastLines && lines;
  const bool haveCounters = lastCounters && counters;
  struct Watched {
    int code;
    int lineBit;
    int LineCounters::*counter;
  };
  // A counter also catches a line that went and came back between two polls.
  static constexpr std::array<Watched, 4> kLines{{
      {kCommEvCts, TIOCM_CTS, &LineCounters::cts},
      {kCommEvDsr, TIOCM_DSR, &LineCounters::dsr},
      {kCommEvCd, TIOCM_CAR, &LineCounters::dcd},
      {kCommEvRing, TIOCM_RNG, &LineCounters::rng},
  }};
  static constexpr std::array<Watched, 5> kErrors{{
      {kCommEvBreak, 0, &LineCounters::brk},
      {kCommEvFrame, 0, &LineCounters::frame},
      {kCommEvOverrun, 0, &LineCounters::overrun},
      {kCommEvRxOver, 0, &LineCounters::bufOverrun},
      {kCommEvRxParity, 0, &LineCounters::parity},
  }};
  for (const Watched& line : kLines) {
    const bool flipped = haveLines && ((*lastLines ^ *lines) & line.lineBit) != 0;
    const bool counted = haveCounters && (*counters).*line.counter != (*lastCounters).*line.counter;
    if (flipped || counted) {
      Emit(line.code);
      if (!port_.isOpen()) return;
    }
  }
  if (!haveCounters) return;
  for (const Watched& error : kErrors) {
    if ((*counters).*error.counter != (*lastCounters).*error.counter) {
      Emit(error.code);
      if (!port_.isOpen()) return;
    }
  }
}

void QtSerialPort::Emit(int code) {
  commEvent_ = code;
  emit OnComm(code);
}

}  // namespace vorlink
