// A pseudo-terminal owned by a test: the test plays the far end on the
// master, the program opens the slave as serial port `number`.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/SimProcess.h"

class TestPty {
 public:
  explicit TestPty(int number);
  ~TestPty();
  bool Ok() const { return master_ >= 0; }
  const std::string& Path() const { return path_; }
  // Bytes from the far end to the program.
  void Send(const std::vector<uint8_t>& bytes);
  // What the program wrote, waiting up to `ms` for `count` bytes.
  std::vector<uint8_t> Receive(size_t count, int ms = 1000);

 private:
  int master_ = -1;
  std::string path_;
  ScopedEnv* env_ = nullptr;
};

// Waits until at least `count` bytes wait at serial port `port` (the pty
// hands bytes over asynchronously); false after about a second.
bool WaitForInput(int port, int count);
