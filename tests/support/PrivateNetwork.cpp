#include "support/PrivateNetwork.h"

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
  std::ofstream f(path);
  f << text;
  f.flush();
  return static_cast<bool>(f);
}

// Without root: a user namespace that maps only ourselves, which owns the new
// network namespace and so may bring its loopback up.
bool UnshareAsUser() {
  const uid_t uid = ::getuid();
  const gid_t gid = ::getgid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return false;
  return WriteProcFile("/proc/self/setgroups", "deny") &&
         WriteProcFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") &&
         WriteProcFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
}

std::string LoopbackUp() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("socket: ") + std::strerror(errno);
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  std::string why;
  if (::ioctl(fd, SIOCGIFFLAGS, &request) != 0) {
    why = std::string("reading the loopback's flags: ") + std::strerror(errno);
  } else {
    request.ifr_flags |= IFF_UP;
    if (::ioctl(fd, SIOCSIFFLAGS, &request) != 0) why = std::string("bringing the loopback up: ") + std::strerror(errno);
  }
  ::close(fd);
  return why;
}

}  // namespace

std::string EnterPrivateNetwork() {
  if (::unshare(CLONE_NEWNET) != 0) {
    const int asRoot = errno;
    if (!UnshareAsUser())
      return std::string("no private network namespace (") + std::strerror(asRoot) + "; as user: " +
             std::strerror(errno) + ")";
  }
  return LoopbackUp();
}
