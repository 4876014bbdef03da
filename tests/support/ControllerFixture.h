// The engine against rc7sim through the real channel selection, queue and
// transports, with handles for the panels that identification and the
// parameter machines touch, and the simulator's journal parsed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/LinkFixture.h"

// One request as the simulator's journal records it.
struct SimRequest {
  unsigned sequence = 0;
  int link = 0;
  uint8_t cmd = 0;  // 0x40 read, 0x2F/0x2B/0x27/0x23 write of 1/2/3/4 bytes
  uint16_t index = 0;
  uint8_t sub = 0;
  uint32_t data = 0;
  std::string fault;
  bool IsRead() const { return cmd == 0x40; }
  bool IsWrite(uint16_t i, uint32_t value) const { return cmd != 0x40 && index == i && data == value; }
};

class ControllerFixture : public LinkFixture {
 protected:
  // Panel handles (the resources' numbers).
  static constexpr uint16_t kScopePanel = 3;
  static constexpr uint16_t kParmSavePanel = 5;
  static constexpr uint16_t kParameterPanel = 6;
  static constexpr uint16_t kExtParameterPanel = 7;
  static constexpr uint16_t kRamtypePanel = 8;
  static constexpr uint16_t kMacroPanel = 14;
  static constexpr uint16_t kWizardPanel = 15;

  void SetUp() override;
  void TearDown() override;
  // LinkFixture::Connect with a controller that has an identity: the P0528
  // variant unless `options` choose one.
  bool Connect(SimLink link, std::vector<std::string> options = {}, bool identify = false);
  // Connects and runs identification to its end, acknowledging the ram-type
  // panel as the operator would; false when the link did not open or the
  // machine did not end.
  bool Identify(SimLink link, std::vector<std::string> options = {}, int maxTicks = 8000);
  // Runs ticks until the operation under way (or started by a signal posted
  // before) has ended and the engine rests idle.
  bool RunToIdle(int maxTicks = 8000);
  // Posts `signal` and runs the operation it starts.
  bool Run(uint16_t signal, int maxTicks = 8000) {
    McycleSignalQueuePut(signal);
    return RunToIdle(maxTicks);
  }
  // Every request the simulator has seen, and those from position `from` on.
  std::vector<SimRequest> Requests(size_t from = 0) const;
  // Number of requests seen so far (to take the requests of one step).
  size_t Seen() const { return Requests().size(); }
  // A request run through the queue on paced ticks, outside any machine:
  // the value read (0xFFFFFFFF when it failed).
  uint32_t ReadObject(uint16_t index, uint8_t sub = 0);
  // The text the fake host holds for a control.
  std::string Text(uint16_t panel, int control) { return host.Text(panel, control); }

  // The ram-type panel was asked for (flag set by identification).
  bool ramtypeAsked = false;
};

// Parses one journal line; false when it is not one.
bool ParseSimRequest(const std::string& line, SimRequest& request);
