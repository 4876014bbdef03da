// An operator's session on the real panels against rc7sim: the engine ticks
// as the panel timer would drive it, the link is chosen on the channel ring
// as the operator does.
#pragma once
#include <QTableWidget>

#include <memory>
#include <string>
#include <vector>

#include "app/ModuleHooks.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleCyclic.h"
#include "engine/McycleFlags.h"
#include "gui/PanelFixture.h"
#include "hmi/hmi.h"
#include "support/SimProcess.h"
#include "ui/PanelIds.h"

enum class SessionLink { Serial, Usb, Udp };

class SimSessionTest : public PanelFixture {
 protected:
  // The simulator's pty is COM1 before start-up lists the ports.
  void PrepareProgramDirectory() override {
    StartSims();
    mcModuleHooks.scanSerialPorts = McycleScanReg;
    mcModuleHooks.prepareCyclicRequests = McycleCyclicPrepareRequests;
  }
  void TearDown() override {
    McycleChannelClose();
    PanelFixture::TearDown();
    com1.reset();
    usb.reset();
    sims.clear();
  }
  virtual void StartSims() { StartSimOn(SessionLink::Serial, {"--variant", "p0528", "--scope", "1500"}); }
  // A simulator that lives as long as the test; nullptr (test failed) when it
  // did not start.
  SimProcess* StartSim(const std::vector<std::string>& options) {
    sims.push_back(std::make_unique<SimProcess>(options));
    EXPECT_TRUE(sims.back()->Ready());
    return sims.back()->Ready() ? sims.back().get() : nullptr;
  }
  // `sim` becomes a simulator on `link` only, which Connect(link) chooses.
  void StartSimOn(SessionLink link, std::vector<std::string> options) {
    switch (link) {
      case SessionLink::Serial: options.insert(options.end(), {"--no-udp", "--no-pty4"}); break;
      case SessionLink::Usb: options.insert(options.end(), {"--no-udp", "--no-pty1"}); break;
      case SessionLink::Udp: options.insert(options.end(), {"--no-pty1", "--no-pty4"}); break;
    }
    sim = StartSim(options);
    com1.reset();
    usb.reset();
    if (sim && link == SessionLink::Serial) com1 = std::make_unique<ScopedEnv>("STROKEDESK_COM1", sim->Pty1());
    if (sim && link == SessionLink::Usb) usb = std::make_unique<ScopedEnv>("STROKEDESK_USB", sim->Pty4());
  }
  // Ticks (and lets the widgets catch up) until `done`, at most ten seconds.
  template <class Done>
  bool Until(Done done, int ticks = 5000) {
    return TickUntil(
        [&] {
          Process();
          return done();
        },
        ticks);
  }
  static bool Idle() { return uwMcycleState == MC_STATE_IDLE && ubMcSignalQueueCounter == 0; }
  QString Cell(int control, int row) {
    auto* table = qobject_cast<QTableWidget*>(host->ControlObject(uwMcParameterPanelHandle, control));
    const QTableWidgetItem* item = table ? table->item(row, 0) : nullptr;
    return item ? item->text() : QString();
  }

  // Chooses the simulator's link and acknowledges the ram type as the
  // operator does.
  void Connect(SessionLink link = SessionLink::Serial) {
    switch (link) {
      case SessionLink::Serial: ChooseRing(main, MAIN_RING_COM_CHANNEL, 1); break;
      case SessionLink::Usb: ChooseRing(main, MAIN_RING_COM_CHANNEL, COM_RING_USB); break;
      case SessionLink::Udp:
        for (int i = 0; i < 4; ++i) PanelSetInt(main, MAIN_NUM_IP_1 + i, i == 0 ? 127 : i == 3 ? 2 : 0);
        ChooseRing(main, MAIN_RING_COM_CHANNEL, COM_RING_UDP);
        break;
    }
    ASSERT_TRUE(Until([&] { return Visible(uwMcRamtypePanelHandle); })) << Log();
    EXPECT_NE(Log().find("Target Firmware: P0235-"), std::string::npos) << Log();  // the P0528 family
    EXPECT_FALSE(Idle());  // identification waits for the acknowledgement
    Click(uwMcRamtypePanelHandle, RTYPE_CMD_OK);
    ASSERT_TRUE(Until(Idle));
    EXPECT_TRUE(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED);
    EXPECT_EQ(LinkLamp(), 1);
    EXPECT_FALSE(Visible(uwMcRamtypePanelHandle));
  }
  int64_t LinkLamp() {
    int64_t lit = -1;
    PanelGetInt(main, MAIN_LED_LINK, lit);
    return lit;
  }
  // Requests the simulator saw with this text in their journal line.
  int Seen(const std::string& text) {
    int n = 0;
    for (const std::string& line : sim->Journal()) n += line.find(text) != std::string::npos;
    return n;
  }

  std::vector<std::unique_ptr<SimProcess>> sims;
  SimProcess* sim = nullptr;
  std::unique_ptr<ScopedEnv> com1;
  std::unique_ptr<ScopedEnv> usb;
};
