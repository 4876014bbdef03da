#include "support/LinkFixture.h"

#include <algorithm>

#include "app/PanelCallbacks.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"

namespace {
constexpr int kSerialPort = 3;
}

const char* SimLinkName(SimLink link) {
  switch (link) {
    case SimLink::Serial: return "Serial";
    case SimLink::Udp: return "Udp";
    default: return "Usb";
  }
}

void LinkFixture::Select(int value) {
  host.ints[{1, MAIN_RING_COM_CHANNEL}] = value;
  MAIN_RING_COM_CHANNEL_Callback(1, MAIN_RING_COM_CHANNEL, EVENT_VAL_CHANGED, nullptr, 0, 0);
}

bool LinkFixture::Connect(SimLink link, std::vector<std::string> options, bool identify) {
  switch (link) {
    case SimLink::Serial: options.insert(options.end(), {"--no-udp", "--no-pty4"}); break;
    case SimLink::Usb: options.insert(options.end(), {"--no-udp", "--no-pty1"}); break;
    case SimLink::Udp: options.insert(options.end(), {"--no-pty1", "--no-pty4"}); break;
  }
  env_.reset();
  sim_.reset();
  sim_ = std::make_unique<SimProcess>(options);
  if (!sim_->Ready()) return false;
  const bool selected = SelectSimLink(link);
  if (!identify)
    while (McycleSignalQueueGet() != 0) {
    }
  return selected;
}

bool LinkFixture::SelectSimLink(SimLink link) {
  switch (link) {
    case SimLink::Serial:
      env_ = std::make_unique<ScopedEnv>("STROKEDESK_COM" + std::to_string(kSerialPort), sim_->Pty1());
      Select(kSerialPort);
      return ubCqDataChannel == CQ_LINK_SERIAL;
    case SimLink::Usb:
      env_ = std::make_unique<ScopedEnv>("STROKEDESK_USB", sim_->Pty4());
      Select(COM_RING_USB);
      return ubCqDataChannel == CQ_LINK_USB;
    case SimLink::Udp:
      for (int i = 0; i < 4; ++i) host.ints[{1, MAIN_NUM_IP_1 + i}] = i == 0 ? 127 : i == 3 ? 2 : 0;
      Select(COM_RING_UDP);
      return ubCqDataChannel == CQ_LINK_UDP;
  }
  return false;
}

bool LinkFixture::Settled() {
  if (uwMcycleState != MC_STATE_IDLE || ubMcSignalQueueCounter != 0 || ubHiQueueCounter != 0) return false;
  for (const CqElement& e : cqDataQueue)
    if (e.ubStatus != CQ_FREE) return false;
  return true;
}

void LinkFixture::ChooseAndSettle(int item) {
  ASSERT_TRUE(TickUntil(Settled, 10000));
  journalMark_ = Transmissions();
  MAIN_MENU_Callback(1, item, EVENT_COMMIT, nullptr, 0, 0);
  TickPaced();
  ASSERT_TRUE(TickUntil(Settled, 5000));
}

std::vector<std::string> LinkFixture::JournalSinceChoice() const {
  std::vector<std::string> j = sim_ ? sim_->Journal() : std::vector<std::string>{};
  j.erase(j.begin(), j.begin() + static_cast<long>(std::min(journalMark_, j.size())));
  return j;
}

void LinkFixture::TearDown() {
  Select(COM_RING_NONE);
  sim_.reset();
  env_.reset();
  EngineFixture::TearDown();
}

uint8_t LinkFixture::Request(uint8_t type, uint16_t index, uint8_t sub, uint32_t data) {
  uint8_t rc = 1;
  TickUntil(
      [&] {
        rc = CqWriteSDOResp(data, index, MachineDataChan.ubNodeId, sub, type, &ubMcCanHandle, 1);
        return rc != 1;
      },
      5000);
  if (rc == 2) CqElementRead(&cqCanData, ubMcCanHandle);
  return rc;
}
