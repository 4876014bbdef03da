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

// Every keyword of the command language and the number of words its line
// must have.
struct ScriptKeyword {
  const char* keyword;
  int minWords;
  int maxWords;
};
inline const ScriptKeyword kScriptKeywords[] = {
    {"WRB", 4, 4},         {"WRW", 4, 4},           {"WRD", 4, 4},
    {"WRF", 4, 4},         {"RD", 3, 3},            {"RF", 3, 3},
    {"DLY", 2, 2},         {"REWIND", 1, 1},        {"DOS", 2, 10},
    {"TRACE_DOWNLOAD", 1, 1}, {"TRACE_SAVE", 2, 2}, {"TRACE_PATH", 2, 2},
    {"HELP", 1, 1},        {"LOG", 2, 2},           {"LABEL", 2, 2},
    {"GOTO", 2, 2},        {"COUNTER_SET", 3, 3},   {"COUNTER_DEC", 2, 2},
    {"SKIP_ZERO", 2, 2},   {"SKIP_NONZERO", 2, 2},  {"STOP", 1, 1},
    {"LOG_CLEAR", 1, 1},   {"LOG_SAVE", 2, 2},      {"IF", 3, 3},
    {"SCOPE_SAMPLE_TIME", 2, 2}, {"SCOPE_AXIS_POS", 2, 2}, {"SCOPE_AXIS_GAIN", 2, 2},
    {"MODE_EXPERT", 2, 2}, {"LOG_PATH", 2, 2},      {"LOG_CREATE", 2, 2},
    {"LOG_APPEND", 2, 2},  {"LOG_OBJECT", 3, 3},    {"LOG_CLOSE", 1, 1},
};

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
