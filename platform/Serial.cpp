#include "platform/Serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

#include "platform/PortScan.h"

namespace {

struct Port {
  std::mutex lock;
  int fd = -1;
};

Port ports[SERIAL_PORT_LAST + 1];

bool ValidNumber(int port) { return port >= SERIAL_PORT_FIRST && port <= SERIAL_PORT_LAST; }

bool BaudConstant(int baud, speed_t& speed) {
  switch (baud) {
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    case 230400: speed = B230400; return true;
    default: return false;
  }
}

// `code`, with errno saying why.
int Fail(int code, int error) {
  errno = error;
  return code;
}

int Configure(int fd, int baud, int parity, int dataBits, int stopBits) {
  speed_t speed;
  if (!BaudConstant(baud, speed) || parity < 0 || parity > 2 || dataBits < 5 || dataBits > 8 ||
      (stopBits != 1 && stopBits != 2))
    return Fail(SERIAL_ERR_CONFIG, EINVAL);
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return SERIAL_ERR_CONFIG;
  ::cfmakeraw(&t);
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag |= kSizes[dataBits - 5] | CLOCAL | CREAD;
  if (parity != 0) {
    t.c_cflag |= PARENB;
    if (parity == 1) t.c_cflag |= PARODD;
  }
  if (stopBits == 2) t.c_cflag |= CSTOPB;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return SERIAL_ERR_CONFIG;
  if (::tcsetattr(fd, TCSANOW, &t) != 0) return SERIAL_ERR_CONFIG;
  return 0;
}

void CloseFd(int fd) {
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

}  // namespace

int SerialOpenConfig(int port, int baud, int parity, int dataBits, int stopBits, int inQueueSize,
                     int outQueueSize) {
  if (!ValidNumber(port)) return Fail(SERIAL_ERR_PORT, EINVAL);
  if (inQueueSize <= 0 || outQueueSize <= 0) return Fail(SERIAL_ERR_CONFIG, EINVAL);
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd >= 0) return Configure(p.fd, baud, parity, dataBits, stopBits);
  const std::string device = PortScanDevicePath(port);
  if (device.empty()) return Fail(SERIAL_ERR_PORT, ENODEV);
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EBUSY ? SERIAL_ERR_BUSY : SERIAL_ERR_OPEN;
  // The advisory lock also holds against root, which TIOCEXCL does not.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return Fail(SERIAL_ERR_BUSY, EBUSY);
  }
  if (!::isatty(fd)) {
    CloseFd(fd);
    return Fail(SERIAL_ERR_OPEN, ENOTTY);
  }
  ::ioctl(fd, TIOCEXCL);
  const int rc = Configure(fd, baud, parity, dataBits, stopBits);
  if (rc != 0) {
    const int error = errno;
    CloseFd(fd);
    return Fail(rc, error);
  }
  ::tcflush(fd, TCIOFLUSH);
  p.fd = fd;
  return 0;
}

int SerialOpen(int port) { return SerialOpenConfig(port, 9600, 0, 8, 1, 512, 512); }

int SerialClose(int port) {
  if (!ValidNumber(port)) return SERIAL_ERR_PORT;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd < 0) return SERIAL_ERR_NOT_OPEN;
  ::ioctl(p.fd, TIOCNXCL);
  CloseFd(p.fd);
  p.fd = -1;
  return 0;
}

int SerialWrite(int port, const uint8_t* buffer, size_t count) {
  if (!ValidNumber(port)) return SERIAL_ERR_PORT;
  if (!buffer && count) return SERIAL_ERR_IO;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd < 0) return SERIAL_ERR_NOT_OPEN;
  size_t done = 0;
  int waits = 0;
  while (done < count) {
    const ssize_t n = ::write(p.fd, buffer + done, count - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return SERIAL_ERR_IO;
    pollfd pfd{p.fd, POLLOUT, 0};
    if (++waits > 10 || ::poll(&pfd, 1, 10) < 0) return SERIAL_ERR_IO;
  }
  return static_cast<int>(done);
}

int SerialRead(int port, uint8_t* buffer, size_t count) {
  if (!ValidNumber(port)) return SERIAL_ERR_PORT;
  if (!buffer && count) return SERIAL_ERR_IO;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd < 0) return SERIAL_ERR_NOT_OPEN;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(p.fd, buffer + done, count - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno == EAGAIN) break;
    return done ? static_cast<int>(done) : SERIAL_ERR_IO;
  }
  return static_cast<int>(done);
}

int SerialInQLen(int port) {
  if (!ValidNumber(port)) return SERIAL_ERR_PORT;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd < 0) return SERIAL_ERR_NOT_OPEN;
  int n = 0;
  if (::ioctl(p.fd, FIONREAD, &n) != 0) return SERIAL_ERR_IO;
  return n;
}

int SerialFlushInQ(int port) {
  if (!ValidNumber(port)) return SERIAL_ERR_PORT;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  if (p.fd < 0) return SERIAL_ERR_NOT_OPEN;
  return ::tcflush(p.fd, TCIFLUSH) == 0 ? 0 : SERIAL_ERR_IO;
}

bool SerialIsOpen(int port) {
  if (!ValidNumber(port)) return false;
  Port& p = ports[port];
  std::lock_guard<std::mutex> g(p.lock);
  return p.fd >= 0;
}
