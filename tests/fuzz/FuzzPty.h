// A pseudo-terminal standing in for serial port 1, so the fuzz inputs pass
// through the real serial layer and termios settings.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Serial.h"

class FuzzPty {
 public:
  static constexpr int kPort = 1;
  FuzzPty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) || ::unlockpt(master_) || ::ptsname_r(master_, name, sizeof name)) std::abort();
    ::setenv("STROKEDESK_COM1", name, 1);
    if (SerialOpen(kPort) != 0) std::abort();
  }
  // Hands `size` bytes to the port and waits until all of them wait there.
  void Feed(const uint8_t* data, size_t size) {
    SerialFlushInQ(kPort);
    size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(master_, data + done, size - done);
      if (n <= 0) std::abort();
      done += static_cast<size_t>(n);
    }
    for (int i = 0; i < 20000 && SerialInQLen(kPort) < static_cast<int>(size); ++i) ::usleep(10);
  }

 private:
  int master_ = -1;
};
