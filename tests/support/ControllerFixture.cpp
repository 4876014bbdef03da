#include "support/ControllerFixture.h"

#include <cstdio>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"

void ControllerFixture::SetUp() {
  LinkFixture::SetUp();
  uwMcScopePanelHandle = kScopePanel;
  uwMcParmSavePanelHandle = kParmSavePanel;
  uwMcParameterPanelHandle = kParameterPanel;
  uwMcExtParameterPanelHandle = kExtParameterPanel;
  uwMcRamtypePanelHandle = kRamtypePanel;
  uwMcMacroPanelHandle = kMacroPanel;
  uwMcWizardPanelHandle = kWizardPanel;
}

void ControllerFixture::TearDown() {
  LinkFixture::TearDown();
  ubCqFlag = 0;
}

bool ControllerFixture::RunToIdle(int maxTicks) {
  bool started = false;
  return TickUntil(
      [&] {
        if (ubMcFlag4 & MC_FLAG4_RAMTYPE_UNACKNOWLEDGED) {
          ramtypeAsked = true;
          ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_RAMTYPE_UNACKNOWLEDGED);
        }
        const uint16_t state = uwMcycleState;
        if (state != MC_STATE_IDLE) started = true;
        return started && state == MC_STATE_IDLE && swStackPointer == 0 && ubMcSignalQueueCounter == 0 &&
               ubHiQueueCounter == 0;
      },
      maxTicks);
}

bool ControllerFixture::Connect(SimLink link, std::vector<std::string> options, bool identify) {
  bool variant = false;
  for (const std::string& o : options) variant = variant || o == "--variant";
  if (!variant) options.insert(options.begin(), {"--variant", "p0528"});
  return LinkFixture::Connect(link, std::move(options), identify);
}

bool ControllerFixture::Identify(SimLink link, std::vector<std::string> options, int maxTicks) {
  ramtypeAsked = false;
  if (!Connect(link, std::move(options), true)) return false;
  return RunToIdle(maxTicks);
}

std::vector<SimRequest> ControllerFixture::Requests(size_t from) const {
  std::vector<SimRequest> requests;
  if (!sim_) return requests;
  const std::vector<std::string> lines = sim_->Journal();
  for (size_t i = from; i < lines.size(); ++i) {
    SimRequest r;
    if (ParseSimRequest(lines[i], r)) requests.push_back(r);
  }
  return requests;
}

uint32_t ControllerFixture::ReadObject(uint16_t index, uint8_t sub) {
  return Request(CQ_SDO_READ, index, sub) == 2 ? cqCanData.udData : 0xFFFFFFFFu;
}

bool ParseSimRequest(const std::string& line, SimRequest& r) {
  unsigned cmd = 0, index = 0, sub = 0;
  char fault[32] = {};
  if (std::sscanf(line.c_str(), "%u link%d %x %x %x %x %31s", &r.sequence, &r.link, &cmd, &index, &sub, &r.data,
                  fault) != 7)
    return false;
  r.cmd = static_cast<uint8_t>(cmd);
  r.index = static_cast<uint16_t>(index);
  r.sub = static_cast<uint8_t>(sub);
  r.fault = fault;
  return true;
}
