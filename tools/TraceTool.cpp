// strokedesk-trace: trace files without a display (scope/ScopeTraceTool.h).
#include <iostream>
#include <string>
#include <vector>

#include "scope/ScopeTraceTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return ScopeTraceToolRun(args, std::cout, std::cerr);
}
