// libFuzzer harness: any bytes as a script file (.pms, .scr), compiled line
// by line; a file with an error must leave nothing to run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzFile.h"
#include "objects/ScriptLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string reply;
  const uint8_t rc = McycleCompileScriptFile(FuzzInputFile(data, size), size % 2 == 0, reply);
  if (rc != SCRIPT_LOAD_OK && reply.empty()) std::abort();
  return 0;
}
