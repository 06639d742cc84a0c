#include "kiss_tcp_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "decode/ax25_encoder.h"

namespace vorlink {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::uint8_t kKissCommandMask = 0x0F;  // low nibble: 0 is a data frame
constexpr std::size_t kKissCommandAt = 1;        // after the opening FEND
constexpr std::size_t kShortestKissFrame = 3;    // FEND, command, FEND

// Waits for the non-blocking connect to end; empty when it succeeded.
std::string FinishConnect(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLOUT, 0};
  const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
  if (ready == 0) return "no answer within " + std::to_string(timeout.count() / 1000) + " s";
  if (ready < 0) return std::strerror(errno);
  int error = 0;
  socklen_t length = sizeof error;
  ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
  return error == 0 ? std::string() : std::strerror(error);
}

}  // namespace

KissTcpClient::~KissTcpClient() { Close(); }

void KissTcpClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string KissTcpClient::Connect(const KissTcpAddress& address,
                                   std::chrono::milliseconds timeout) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(address.port);
  if (const int error = ::getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found)) {
    return ::gai_strerror(error);
  }
  std::string why = "no address";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      why = std::strerror(errno);
      continue;
    }
    why = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 || errno == EINPROGRESS
              ? FinishConnect(fd, timeout)
              : std::strerror(errno);
    if (why.empty()) {
      fd_ = fd;
      break;
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  if (fd_ < 0) return why;
  deframer_.Reset();
  return {};
}

bool KissTcpClient::SendFrame(std::span<const std::uint8_t> ax25) {
  if (fd_ < 0) return false;
  const std::vector<std::uint8_t> bytes = WrapInKiss(ax25);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd_, POLLOUT, 0};
      ::poll(&p, 1, -1);
      continue;
    }
    Close();
    return false;
  }
  return true;
}

bool KissTcpClient::Receive(std::chrono::milliseconds timeout, const FrameHandler& onFrame) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  const int ready = ::poll(&p, 1, static_cast<int>(std::max<long long>(0, timeout.count())));
  if (ready <= 0) return ready == 0 || errno == EINTR;
  std::array<std::uint8_t, kReadChunk> chunk{};
  const ssize_t n = ::recv(fd_, chunk.data(), chunk.size(), 0);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
    Close();
    return false;
  }
  if (n < 0) return true;
  handler_ = &onFrame;
  deframer_.Feed({chunk.data(), static_cast<std::size_t>(n)}, *this);
  handler_ = nullptr;
  return true;
}

void KissTcpClient::OnUnit(std::span<const std::uint8_t> frame) {
  if (frame.size() <= kShortestKissFrame || (frame[kKissCommandAt] & kKissCommandMask) != 0) return;
  if (handler_ && *handler_) (*handler_)(frame);
}

}  // namespace vorlink
