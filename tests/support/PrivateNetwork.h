// Gives a test program a network of its own, so the fixed loopback ports of
// the UDP link (tool 49153, controller 127.0.0.2:49152) never meet a program or
// simulator running beside the suite. Children (rc7sim, the program) share it.
#pragma once
#include <string>

// Moves the calling process into a new network namespace with its loopback up:
// as root directly, else through a user namespace where the system allows one.
// Call first in main, while the process has one thread. Empty on success, else
// why it could not.
std::string EnterPrivateNetwork();

// Why the test program has no network of its own (empty: it has one), for the
// programs whose main enters it.
extern std::string privateNetwork;
