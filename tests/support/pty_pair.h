// A pseudo-terminal pair standing in for a serial line: the program opens the
// slave through a COMn link, the test plays the TNC on the master.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlink::testing {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave_, name, &raw, nullptr) == 0) slaveName_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    // A program started by the test must not hold the line open as well.
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;
  ~PtyPair() {
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }

  const std::string& SlaveName() const { return slaveName_; }
  int Master() const { return master_; }
  // Links folder/name (e.g. COM1) to the slave device.
  void LinkAs(const std::filesystem::path& link) const {
    std::error_code ignored;
    std::filesystem::remove(link, ignored);
    std::filesystem::create_symlink(slaveName_, link);
  }
  // Gives up when nobody reads for a few seconds; returns the bytes written.
  std::size_t Write(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
      const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else {
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 100);
      }
    }
    return done;
  }
  // Everything the program has written so far (waits up to the given time for the first byte).
  std::vector<std::uint8_t> Read(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) const {
    std::vector<std::uint8_t> out;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(wait.count())) <= 0) return out;
    std::uint8_t buffer[4096];
    ssize_t n;
    while ((n = read(master_, buffer, sizeof buffer)) > 0) out.insert(out.end(), buffer, buffer + n);
    return out;
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slaveName_;
};

}  // namespace vorlink::testing
