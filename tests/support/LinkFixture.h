// The engine talking to rc7sim over one of the three links, through the real
// channel selection, queue and transports.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "support/EngineFixture.h"
#include "support/SimProcess.h"

enum class SimLink { Serial, Udp, Usb };

class LinkFixture : public EngineFixture {
 protected:
  void TearDown() override;
  // Starts rc7sim with `options` for `link` and selects that link on the
  // channel ring; false when either failed. The selection's connect signal
  // (identification) is dropped unless `identify`.
  bool Connect(SimLink link, std::vector<std::string> options = {}, bool identify = false);
  // Runs one request through CqWriteSDOResp on paced ticks; its result (2
  // done: the slot is in cqCanData, 0 failed).
  uint8_t Request(uint8_t type, uint16_t index, uint8_t sub, uint32_t data = 0);
  // Requests the simulator has seen so far.
  size_t Transmissions() const { return sim_ ? sim_->Journal().size() : 0; }
  // Selects the simulator's end of `link` on the channel ring.
  bool SelectSimLink(SimLink link);
  // Selects ring value `value` as the operator would.
  void Select(int value);
  // The engine rests: idle, no signal or log line waiting, every queue slot
  // free.
  static bool Settled();
  // Chooses main-menu item `item` once the engine rests and runs until it
  // rests again; JournalSinceChoice() then lists what the simulator saw
  // meanwhile.
  void ChooseAndSettle(int item);
  std::vector<std::string> JournalSinceChoice() const;

  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<ScopedEnv> env_;
  size_t journalMark_ = 0;
};

const char* SimLinkName(SimLink link);
