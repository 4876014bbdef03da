// A fresh script container, cleared mode flags and a recording panel host
// (main panel handle 1) for tests of the command interpreter and the loader.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"
#include "support/FakePanelHost.h"
#include "ui/PanelIds.h"

class ScriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    PanelSetHost(&host);
    uwMcMainPanelHandle = 1;
    ubMcFlag2 = ubMcFlag3 = ubMcFlag4 = 0;
    CtrlCmdListInit();
  }
  void TearDown() override {
    CtrlCmdListInit();
    PanelSetHost(nullptr);
  }
  uint8_t Compile(std::string_view line) { return ObjCmdInterpreter(line, reply); }
  // Compiles lines that must all be accepted.
  void CompileAll(std::initializer_list<const char*> lines) {
    for (const char* line : lines) ASSERT_EQ(Compile(line), OBJCMD_OK) << line << ": " << reply;
  }
  const CtrlCmdEntry& Entry(int i) const { return sScrContainer.entries[i]; }
  int Entries() const { return sScrContainer.uwNumOfEntries; }

  FakePanelHost host;
  std::string reply;
};
