// The DOS step: the command runs through the system shell as a child
// process, polled once per tick, so the engine goes on while it runs and a
// stop request can end it.
#include <cstring>
#include <string>
#include <vector>

#include "engine/McycleIo.h"
#include "objects/ScriptSteps.h"
#include "platform/ChildProcess.h"

namespace {

ChildProcess dosChild;

}  // namespace

ScriptStep ScriptDos(const CtrlCmdEntry& e) {
  int exitCode = 0;
  if (dosChild.Running()) {
    if (!dosChild.Finished(exitCode)) return ScriptStep::Wait;
    if (exitCode != 0) McycleLogf("DOS: exit code %d", exitCode);
    return ScriptStep::Next;
  }
  const char* text = ScriptText(e);
  // Each meta string grows by one character when expanded.
  std::vector<char> command(std::strlen(text) * 6 / 5 + 2);
  std::strcpy(command.data(), text);
  ScriptExpandMeta(command.data(), command.size());
  const std::string run = std::string("/bin/sh -c ") + command.data();
  McycleLogf("DOS: %s", run.c_str());
  std::string error;
  if (!dosChild.Start(command.data(), error)) {
    McycleLogf("DOS: command not started: %s", error.c_str());
    return ScriptStep::Next;
  }
  return ScriptStep::Wait;
}

bool ScriptDosStop() {
  if (!dosChild.Running()) return false;
  dosChild.Terminate();
  return true;
}
