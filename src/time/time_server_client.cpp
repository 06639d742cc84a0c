#include "time/time_server_client.h"

#include "time/clock_sync.h"

namespace vorlink {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr std::string_view kOpening = "opening connection to TIMESERVER [";
constexpr std::string_view kOpeningEnd = "]";
constexpr std::string_view kConnected = "   winsock connection made";
constexpr std::string_view kDataReceived = "data received: ";
constexpr std::string_view kClosing = "   closing connection";
constexpr std::string_view kSocketsClosed = "   sockets closed";
constexpr std::string_view kErrorReceived = "   error received: ";
// After an error the text has no leading blanks.
constexpr std::string_view kErrorSocketsClosed = "sockets closed";

// "data received: EE BF  (2 bytes)": every byte is followed by a blank, so two
// blanks stand before the parenthesis.
std::string DataReceivedText(const std::vector<std::uint8_t>& bytes) {
  std::string text(kDataReceived);
  text.reserve(text.size() + bytes.size() * 3 + 16);
  for (std::uint8_t b : bytes) {
    text += FormatHexByte(b);
    text += ' ';
  }
  text += " (" + std::to_string(bytes.size()) + " bytes)";
  return text;
}

}  // namespace

std::string FormatHexByte(std::uint8_t value) {
  return {kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

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
  // A server of an earlier exchange may have kept its connection open.
  if (!tcp_.IsClosed()) tcp_.Close();
  tcp_.Connect(host_, remotePort_);
}

void TimeServerClient::OnConnected() { status_.SetSimpleText(kConnected); }

void TimeServerClient::OnDataArrival() {
  const std::vector<std::uint8_t> arrived = tcp_.ReadAll();
  data_.insert(data_.end(), arrived.begin(), arrived.end());
  status_.SetSimpleText(DataReceivedText(arrived));
}

void TimeServerClient::OnClose() {
  status_.SetSimpleText(kClosing);
  tcp_.Close();
  status_.SetSimpleText(kSocketsClosed);
  SynchroniseClock(data_, host_, clock_, status_);
}

void TimeServerClient::OnError(int number, std::string_view description) {
  status_.SetSimpleText(std::string(kErrorReceived) + std::string(description));
  status_.SetSimpleText(std::string(kErrorReceived) + std::to_string(number));
  if (number <= 0) return;
  if (!tcp_.IsClosed()) tcp_.Close();
  status_.SetSimpleText(kErrorSocketsClosed);
}

}  // namespace vorlink
