#include "app/Entry.h"

#include <cstdio>
#include <string>

#include "app/Batch.h"

int McycleMain(int argc, char** argv, McInteractiveRunner runInteractive) {
  McStartOptions options;
  std::string error;
  if (McycleParseCommandLine(argc, argv, options, error) != 0) {
    std::fprintf(stderr, "strokedesk: %s\n%s", error.c_str(), McycleBatchUsage());
    return COMMAND_LINE_REJECTED;
  }
  for (const std::string& warning : options.warnings) std::fprintf(stderr, "strokedesk: %s\n", warning.c_str());
  McycleApplyStartFlags(options);
  return options.batch ? McycleRunBatch(options) : runInteractive(argc, argv, options);
}
