#include "platform/UdpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

sockaddr_in Address(uint32_t ip, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(ip);
  return a;
}

}  // namespace

UdpEndpoint::~UdpEndpoint() { Close(); }

bool UdpEndpoint::Open(uint32_t localIp, uint16_t localPort) {
  std::lock_guard<std::mutex> g(lock_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) return false;
  const sockaddr_in local = Address(localIp, localPort);
  if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

void UdpEndpoint::Close() {
  std::lock_guard<std::mutex> g(lock_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool UdpEndpoint::IsOpen() {
  std::lock_guard<std::mutex> g(lock_);
  return fd_ >= 0;
}

bool UdpEndpoint::SendTo(uint32_t ip, uint16_t port, const uint8_t* data, size_t length) {
  std::lock_guard<std::mutex> g(lock_);
  if (fd_ < 0) return false;
  const sockaddr_in to = Address(ip, port);
  const ssize_t n = ::sendto(fd_, data, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  return n == static_cast<ssize_t>(length);
}

long UdpEndpoint::NextSize() {
  std::lock_guard<std::mutex> g(lock_);
  if (fd_ < 0) return -2;
  uint8_t probe;
  const ssize_t n = ::recv(fd_, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
  if (n >= 0) return static_cast<long>(n);
  // ECONNREFUSED: an earlier datagram found no listener; not this socket's fault.
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED || errno == EINTR) return -1;
  return -2;
}

long UdpEndpoint::Receive(uint8_t* buffer, size_t capacity, uint32_t* fromIp, uint16_t* fromPort) {
  std::lock_guard<std::mutex> g(lock_);
  if (fd_ < 0) return -2;
  sockaddr_in from{};
  socklen_t fromLen = sizeof from;
  const ssize_t n = ::recvfrom(fd_, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                               &fromLen);
  if (n < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED || errno == EINTR) ? -1 : -2;
  if (fromIp) *fromIp = ntohl(from.sin_addr.s_addr);
  if (fromPort) *fromPort = ntohs(from.sin_port);
  return static_cast<long>(n);
}

int UdpEndpoint::PollDescriptor() {
  std::lock_guard<std::mutex> g(lock_);
  return fd_;
}

uint32_t UdpRouteSourceAddress(uint32_t destIp) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  // Connecting a datagram socket only picks the route and the source address.
  const sockaddr_in to = Address(destIp, 49152);
  sockaddr_in local{};
  socklen_t len = sizeof local;
  uint32_t ip = 0;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0)
    ip = ntohl(local.sin_addr.s_addr);
  ::close(fd);
  return ip;
}

uint32_t UdpHostNameAddress() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || !list) return 0;
  const uint32_t ip = ntohl(reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(list);
  return ip;
}

bool UdpParseAddress(const char* text, uint32_t& ip) {
  in_addr a{};
  if (!text || ::inet_pton(AF_INET, text, &a) != 1) return false;
  ip = ntohl(a.s_addr);
  return true;
}
