// The engine after start-up with an in-process controller: scripts are
// compiled, started with signal 5 and run tick by tick.
#pragma once
#include <string>
#include <vector>

#include "comm/ComQueue.h"
#include "objects/ScriptMachine.h"
#include "params/CtrlCmd.h"
#include "support/EngineFixture.h"
#include "support/FakeController.h"
#include "support/ScriptRun.h"

inline constexpr int kScopePanel = 3;

class ScriptRunFixture : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    CtrlCmdListInit();
    ubCqDataChannel = CQ_LINK_NONE;
    ubMcTraceSavePath[0] = ubMcLogSavePath[0] = '\0';
    uwMcScopePanelHandle = kScopePanel;
  }
  void TearDown() override {
    McycleObjectLogClose();
    CtrlCmdListInit();
    EngineFixture::TearDown();
  }
  // One tick, then the controller answers.
  void Step(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Tick();
      controller.Serve();
    }
  }
  // Ticks until the script is done; false when it still runs after maxTicks.
  bool Finish(int maxTicks = 20000) {
    for (int i = 0; i < maxTicks && ScriptActive(); ++i) Step();
    return !ScriptActive();
  }
  bool Run(const std::vector<std::string>& lines, int maxTicks = 20000) {
    return StartScript(lines) && Finish(maxTicks);
  }
  // Requests that went out, as "40 02 20 00 00 00 00 00".
  std::vector<std::string> Requests() const {
    std::vector<std::string> out;
    for (const auto& r : controller.requests) {
      char text[32];
      std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X %02X %02X %02X", r[0], r[1], r[2], r[3], r[4], r[5],
                    r[6], r[7]);
      out.push_back(text);
    }
    return out;
  }

  FakeController controller;
};
