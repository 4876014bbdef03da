// The controller played inside the test process, for tests that drive the
// engine tick by hand without a link: every request the queue puts on the
// (absent) link is recorded and, unless held back, answered at once from a
// small dictionary, as rc7sim would.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class FakeController {
 public:
  FakeController();
  // Adds or replaces an object.
  void Set(uint16_t index, uint8_t sub, uint32_t value, uint8_t width, bool readOnly = false);
  uint32_t Value(uint16_t index, uint8_t sub) { return objects_[{index, sub}].value; }
  // Records and answers what went out since the last call. Call after every
  // tick.
  void Serve();

  bool hold = false;      // record requests but answer none
  bool abortAll = false;  // answer every request with an abort
  // Every transmission's payload, in order.
  std::vector<std::array<uint8_t, 8>> requests;

 private:
  struct Object {
    uint32_t value = 0;
    uint8_t width = 4;
    bool readOnly = false;
  };
  std::map<std::pair<uint16_t, uint8_t>, Object> objects_;
  uint32_t seenDeadline_[10] = {};
  bool seen_[10] = {};
};
