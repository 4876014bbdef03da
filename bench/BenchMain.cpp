// The benchmarks run in a network of their own where the system allows it, so
// their simulator's UDP port never meets a program running beside them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "support/PrivateNetwork.h"

int main(int argc, char** argv) {
  const std::string why = EnterPrivateNetwork();
  if (!why.empty()) std::fprintf(stderr, "UDP benchmarks use the host's loopback ports: %s\n", why.c_str());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
