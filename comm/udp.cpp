#include "comm/udp.h"

#include <cstdio>
#include <cstring>

#include "platform/UdpSocket.h"

uint8_t ubUdpEthSrcIp[4];
uint32_t udUdpEthSrcIp_DWORD;
char chUdpEthSrcIpAdress[16];

namespace {

UdpEndpoint endpoint;
uint32_t controllerIp;

// A burst of stray datagrams is worked off over several ticks.
constexpr int kDiscardPerCall = 16;

void SetOwnAddress(uint32_t ip) {
  udUdpEthSrcIp_DWORD = ip;
  for (int i = 0; i < 4; ++i) ubUdpEthSrcIp[i] = static_cast<uint8_t>(ip >> (8 * i));
  std::snprintf(chUdpEthSrcIpAdress, sizeof chUdpEthSrcIpAdress, "%u.%u.%u.%u", (ip >> 24) & 0xFF, (ip >> 16) & 0xFF,
                (ip >> 8) & 0xFF, ip & 0xFF);
}

}  // namespace

void UdpInit() {
  SetOwnAddress(0);
  controllerIp = 0;
}

uint8_t UdpStart(const char* destIp) {
  uint32_t dest = 0;
  if (!UdpParseAddress(destIp, dest)) return 1;
  uint32_t own = UdpRouteSourceAddress(dest);
  if (own == 0) own = UdpHostNameAddress();
  if (own == 0 || !endpoint.Open(own, UDP_OWN_PORT)) return 1;
  controllerIp = dest;
  SetOwnAddress(own);
  return 0;
}

void UdpClose() { endpoint.Close(); }

uint8_t UdpSend(const uint8_t* buffer, size_t length) {
  return endpoint.SendTo(controllerIp, UDP_CONTROLLER_PORT, buffer, length) ? 0 : 1;
}

uint8_t UdpReceive(uint8_t* buffer, size_t* length, size_t wanted) {
  *length = 0;
  for (int i = 0; i < kDiscardPerCall; ++i) {
    const long next = endpoint.NextSize();
    if (next == -2) return 1;
    if (next == -1) return 0;
    if (static_cast<size_t>(next) != wanted) {
      uint8_t scratch[1];
      endpoint.Receive(scratch, sizeof scratch);
      continue;
    }
    const long got = endpoint.Receive(buffer, wanted);
    if (got < 0) return got == -1 ? 0 : 1;
    if (static_cast<size_t>(got) != wanted) continue;  // replaced between peek and read
    *length = wanted;
    return 0;
  }
  return 0;
}
