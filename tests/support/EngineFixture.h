// Puts the engine, the log queue and the timer into their state after start-up,
// with a recording panel host whose main panel has handle 1.
#pragma once
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "hmi/hmi.h"
#include "support/FakePanelHost.h"
#include "ui/PanelIds.h"

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs n ticks by hand.
  void Tick(int n = 1);
  // What the log window shows so far.
  std::string Log() { return host.Text(1, MAIN_TXTBOX_LOG); }

  FakePanelHost host;
};
