#include "support/TestPty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/Serial.h"

TestPty::TestPty(int number) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name)) {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
    return;
  }
  path_ = name;
  env_ = new ScopedEnv("STROKEDESK_COM" + std::to_string(number), path_);
}

TestPty::~TestPty() {
  delete env_;
  if (master_ >= 0) ::close(master_);
}

void TestPty::Send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::vector<uint8_t> TestPty::Receive(size_t count, int ms) {
  std::vector<uint8_t> got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 10) <= 0) continue;
    uint8_t buf[256];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n > 0) got.insert(got.end(), buf, buf + n);
  }
  return got;
}

bool WaitForInput(int port, int count) {
  for (int i = 0; i < 500; ++i) {
    if (SerialInQLen(port) >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}
