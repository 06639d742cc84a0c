#include "time/time_server_client.h"

#include <algorithm>

#include "base/text.h"
#include "time/clock_sync.h"

namespace vorlink {
namespace {

constexpr std::string_view kOpening = "opening connection to TIMESERVER [";
constexpr std::string_view kOpeningEnd = "]";
constexpr std::string_view kConnected = "   winsock connection made";
constexpr std::string_view kDataReceived = "data received: ";
constexpr std::string_view kMoreBytes = " ...";
constexpr std::string_view kClosing = "   closing connection";
constexpr std::string_view kSocketsClosed = "   sockets closed";
constexpr std::string_view kErrorReceived = "   error received: ";
// After an error the text has no leading blanks.
constexpr std::string_view kErrorSocketsClosed = "sockets closed";

// "data received: EE BF  (2 bytes)": every byte is followed by a blank, so two
// blanks stand before the parenthesis. A longer arrival lists its first bytes
// only: "data received: 00 01 ... 0F  ... (100 bytes)".
std::string DataReceivedText(const std::vector<std::uint8_t>& bytes) {
  const std::size_t listed = std::min(bytes.size(), kDataReceivedListed);
  std::string text(kDataReceived);
  text.reserve(text.size() + listed * 3 + kMoreBytes.size() + 24);
  for (std::size_t i = 0; i < listed; ++i) {
    AppendHexByte(text, bytes[i]);
    text += ' ';
  }
  if (listed < bytes.size()) text += kMoreBytes;
  text += " (" + std::to_string(bytes.size()) + " bytes)";
  return text;
}

}  // namespace

TimeServerClient::TimeServerClient(TcpClient& tcp, Clock& clock, StatusLine& status,
                                   std::uint16_t remotePort)
    : tcp_(tcp), clock_(clock), status_(status), remotePort_(remotePort) {
  tcp_.SetHandler(this);
}

TimeServerClient::~TimeServerClient() { tcp_.SetHandler(nullptr); }

void TimeServerClient::ConnectTimeServer(std::string_view host) {
  host_ = host;
  status_.SetSimpleText(std::string(kOpening) + host_ + std::string(kOpeningEnd));
  data_.clear();
  fourthByteAt_ = {};
  // A server of an earlier exchange may have kept its connection open.
  if (!tcp_.IsClosed()) tcp_.Close();
  tcp_.Connect(host_, remotePort_);
}

void TimeServerClient::OnConnected() { status_.SetSimpleText(kConnected); }

void TimeServerClient::OnDataArrival() {
  // One byte past the room left is enough to know the server sends too much.
  const std::size_t room = kTimeServerDataLimit - data_.size();
  const std::vector<std::uint8_t> arrived = tcp_.Read(room + 1);
  const std::size_t kept = std::min(arrived.size(), room);
  const std::size_t before = data_.size();
  data_.insert(data_.end(), arrived.begin(), arrived.begin() + static_cast<std::ptrdiff_t>(kept));
  if (before < kTimeProtocolLength && data_.size() >= kTimeProtocolLength) {
    fourthByteAt_ = clock_.MonotonicNow();
  }
  status_.SetSimpleText(DataReceivedText(arrived));
  if (arrived.size() > room) {
    // No answer is this long: end the exchange here, without a clock change.
    tcp_.Close();
    status_.SetSimpleText(kTimeNotValid);
  }
}

void TimeServerClient::OnClose() {
  status_.SetSimpleText(kClosing);
  tcp_.Close();
  status_.SetSimpleText(kSocketsClosed);
  SynchroniseClock(data_, fourthByteAt_, host_, clock_, status_);
}

void TimeServerClient::OnError(int number, std::string_view description) {
  status_.SetSimpleText(std::string(kErrorReceived) + std::string(description));
  status_.SetSimpleText(std::string(kErrorReceived) + std::to_string(number));
  if (number <= 0) return;
  if (!tcp_.IsClosed()) tcp_.Close();
  status_.SetSimpleText(kErrorSocketsClosed);
}

}  // namespace vorlink
