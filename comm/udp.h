// UDP link (link 3): one socket bound to the tool's own address, port 49153,
// talking to the controller at port 49152. Called from the GUI thread (start,
// close) and the tick (send, receive); the socket layer serialises them.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr uint16_t UDP_CONTROLLER_PORT = 49152;
inline constexpr uint16_t UDP_OWN_PORT = 49153;

// The tool's own address: last octet first, as a word, and as dotted text.
extern uint8_t ubUdpEthSrcIp[4];
extern uint32_t udUdpEthSrcIp_DWORD;
extern char chUdpEthSrcIpAdress[16];

// Start-up: forgets the own address (the socket is opened by UdpStart).
void UdpInit();
// Opens the socket for the controller at `destIp` (dotted text). The own
// address is the one the system would use to reach the controller (the host
// name's first address when there is no route). 0 bound, 1 failed.
uint8_t UdpStart(const char* destIp);
void UdpClose();
// One datagram to the controller: 0 sent, 1 failed or no socket.
uint8_t UdpSend(const uint8_t* buffer, size_t length);
// Takes the next datagram of exactly `wanted` bytes: 0 with *length the size
// (or 0 when none waits); 1 on a socket error. Datagrams of another size
// cannot become a telegram: they are discarded on the way.
uint8_t UdpReceive(uint8_t* buffer, size_t* length, size_t wanted);
