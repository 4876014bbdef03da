// Runs the panel tests inside one QApplication, offscreen unless a platform
// is asked for (the test lister runs without one), in a network of their own
// where the system allows it (the sessions on the UDP link need one).
#include <gtest/gtest.h>

#include <QApplication>

#include "support/PrivateNetwork.h"

std::string privateNetwork;

int main(int argc, char** argv) {
  privateNetwork = EnterPrivateNetwork();  // while the process has one thread
  ::testing::InitGoogleTest(&argc, argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
