#include "BenchLink.h"

#include <chrono>
#include <thread>

#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/udp.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "platform/Serial.h"

namespace {
int openPort = 0;
}

bool BenchOpenLink(uint8_t link, const SimProcess& sim, int port) {
  udMcTimeTick = 0;
  McycleStateMachine(MC_SIG_START);
  if (!sim.Ready()) return false;
  if (link == CQ_LINK_UDP) {
    if (UdpStart("127.0.0.2") != 0) return false;
    udUdpEthDestIp_DWORD = 0x7F000002;
  } else {
    if (SerialOpenConfig(port, 9600, 0, 8, 1, 4096, 10) != 0) return false;
    iStMaComChan = port;
    openPort = port;
  }
  ubCqDataChannel = link;
  return true;
}

void BenchCloseLink() {
  ubCqDataChannel = CQ_LINK_NONE;
  if (openPort) SerialClose(openPort);
  openPort = 0;
  UdpClose();
  iStMaComChan = 0;
}

int64_t BenchPacedTicks(const std::function<bool()>& more) {
  int64_t ticks = 0;
  auto next = std::chrono::steady_clock::now();
  while (more()) {
    McycleTimerCallback();
    ++ticks;
    next += std::chrono::milliseconds(MC_TICK_MS);
    std::this_thread::sleep_until(next);
  }
  return ticks;
}
