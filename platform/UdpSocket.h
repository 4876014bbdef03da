// One UDP socket over the system's sockets. Addresses are IPv4 host-order
// words (a.b.c.d = a<<24 | b<<16 | c<<8 | d). The calls of one endpoint are
// serialised, so a close from the GUI thread never races a receive in the tick.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>

class UdpEndpoint {
 public:
  UdpEndpoint() = default;
  ~UdpEndpoint();
  UdpEndpoint(const UdpEndpoint&) = delete;
  UdpEndpoint& operator=(const UdpEndpoint&) = delete;

  // Creates the socket and binds it; false on any failure (nothing left open).
  bool Open(uint32_t localIp, uint16_t localPort);
  void Close();
  bool IsOpen();
  // Sends one datagram; false on failure.
  bool SendTo(uint32_t ip, uint16_t port, const uint8_t* data, size_t length);
  // Size of the next waiting datagram: 0 and more, -1 when none waits, -2 on a
  // socket error or a closed socket.
  long NextSize();
  // Receives the next datagram into `buffer` (truncated to `capacity`, the
  // rest is lost); its full size, -1 none, -2 error. The sender in *fromIp and
  // *fromPort when given.
  long Receive(uint8_t* buffer, size_t capacity, uint32_t* fromIp = nullptr, uint16_t* fromPort = nullptr);
  // The descriptor, to wait on with poll() only (-1 when closed).
  int PollDescriptor();

 private:
  std::mutex lock_;
  int fd_ = -1;
};

// The local address the system would use to reach `destIp` (no packet is
// sent); 0 when there is no route.
uint32_t UdpRouteSourceAddress(uint32_t destIp);
// The first IPv4 address of this host's name; 0 when it has none.
uint32_t UdpHostNameAddress();
// Dotted text to a host-order word; false when the text is no IPv4 address.
bool UdpParseAddress(const char* text, uint32_t& ip);
