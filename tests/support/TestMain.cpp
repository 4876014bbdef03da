// The test programs of the core run in a network of their own where the
// system allows it, so a simulator a test starts never binds the host's ports.
// The UDP tests need it: without one they are skipped (exit code 77, which
// CTest reports as skipped), as they would otherwise fight a program running
// beside the suite for its fixed ports.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/PrivateNetwork.h"

std::string privateNetwork;

int main(int argc, char** argv) {
  privateNetwork = EnterPrivateNetwork();
  ::testing::InitGoogleTest(&argc, argv);
#ifdef STROKEDESK_UDP_TESTS
  if (!privateNetwork.empty() && !GTEST_FLAG_GET(list_tests)) {
    std::printf("UDP tests skipped: %s; without one the fixed loopback ports are shared with the whole host\n",
                privateNetwork.c_str());
    return 77;
  }
#endif
  return RUN_ALL_TESTS();
}
