// The simulated RC7: an object dictionary answering expedited SDO requests,
// with faults chosen per run and a journal of every request.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "sim/SimBehaviour.h"

enum class SimFault { Drop, Corrupt, Abort, Refuse, Echo, WrongSender, StrayShort, StrayBytes, Count };

// Which requests a fault hits: every Nth (1 = all), and/or the first K,
// and/or N from the Kth on (N 0: all from the Kth).
struct SimFaultRule {
  unsigned every = 0;
  unsigned first = 0;
  unsigned from = 0;
  unsigned count = 0;
  bool Hits(unsigned request) const {
    return (every && request % every == 0) || (first && request <= first) ||
           (from && request >= from && (count == 0 || request - from < count));
  }
};

struct SimObject {
  uint32_t value = 0;
  uint8_t width = 4;
  bool readOnly = false;
};

struct SimAnswer {
  bool send = false;       // false: the request is dropped
  uint8_t payload[8] = {};
  bool corrupt = false;    // spoil the check byte or the CRC
  bool wrongSender = false;
  bool strayShort = false; // a short datagram goes first (UDP)
  bool strayBytes = false; // stray bytes go first (serial links)
  int blockNumber = -1;    // a block follows the answer
  bool hangUp = false;     // close the line the request came on
  bool exitNow = false;    // end the simulator
};

class SimController {
 public:
  SimController();
  // Parses "every:N", "first:K", "from:K", "from:K:N" or "all"; false when
  // malformed.
  bool SetFault(SimFault fault, const std::string& selector);
  // "index:sub:width:value[:ro]" with numbers in C notation.
  bool AddObject(const std::string& spec);
  void SetBlockLength(uint16_t length) { blockLength_ = length; }
  uint16_t BlockLength() const { return blockLength_; }
  bool OpenJournal(const std::string& path);

  // Answers one request payload that arrived on `link` (1, 3 or 4).
  SimAnswer Handle(const uint8_t* request, int link);
  // Block `number`: from the behaviour holding the scope memory, else
  // --block-len bytes of a counting pattern.
  SimBlock Block(int number);
  // True when a behaviour holds block `number` (its command codes may be
  // another behaviour's commands, the memory window's for one).
  bool BlockHeld(int number) const;
  // The value a read of the object would give (behaviours, then the
  // dictionary), without counting a request; false for an unknown object.
  bool Lookup(uint16_t index, uint8_t sub, uint32_t& value);

 private:
  bool ReadBehaviour(uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width);
  bool WriteBehaviour(uint16_t index, uint8_t sub, uint32_t value, bool& accepted);

  std::map<std::pair<uint16_t, uint8_t>, SimObject> objects_;
  SimFaultRule rules_[static_cast<int>(SimFault::Count)];
  unsigned requests_ = 0;
  uint16_t blockLength_ = 86;
  FILE* journal_ = nullptr;
};

const char* SimFaultName(SimFault fault);
