#include "sim/SimController.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "sim/SimBehaviour.h"

namespace {

constexpr uint16_t kCommandObject = 0x2000;
constexpr uint32_t kBlockCommand = 0x1000;
constexpr uint32_t kAbortNoObject = 0x06020000;
constexpr uint32_t kAbortReadOnly = 0x06010002;

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool ParseNumber(const std::string& text, unsigned long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 0);
  return end && *end == '\0';
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == sep) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

int WidthOfWrite(uint8_t cmd) {
  switch (cmd) {
    case 0x2F: return 1;
    case 0x2B: return 2;
    case 0x27: return 3;
    case 0x23: return 4;
    default: return 0;
  }
}

uint8_t ReadCommand(uint8_t width) {
  switch (width) {
    case 1: return 0x4F;
    case 2: return 0x4B;
    case 3: return 0x47;
    default: return 0x43;
  }
}

const char* InterceptName(SimIntercept intercept) {
  switch (intercept) {
    case SimIntercept::Abort: return "abort-object";
    case SimIntercept::Silent: return "silent";
    case SimIntercept::HangUp: return "hang-up";
    case SimIntercept::Exit: return "exit";
    default: return "-";
  }
}

}  // namespace

const char* SimFaultName(SimFault fault) {
  static const char* const names[] = {"drop",         "corrupt",     "abort",       "refuse",
                                      "echo",         "wrong-sender", "stray-short", "stray-bytes"};
  return names[static_cast<int>(fault)];
}

SimController::SimController() {
  objects_[{0x2000, 0}] = {0, 2, false};        // command object
  objects_[{0x2002, 0}] = {0x1234, 2, false};    // a word object
  objects_[{0x2004, 0}] = {0x12345678, 4, true}; // status word used by the link test
  objects_[{0x200F, 0}] = {0x0A1C, 2, true};     // firmware version
  objects_[{0x2100, 0}] = {0x0417, 2, true};
  objects_[{0x2103, 0}] = {0x05, 1, false};      // a byte object
  objects_[{0x2106, 0}] = {0x10, 1, false};
  objects_[{0x2119, 0}] = {0x00ABCDEF, 3, false}; // answered with specifier 0x47
  objects_[{0x2602, 1}] = {0x3F800000, 4, false}; // a float object, 1.0
}

bool SimController::SetFault(SimFault fault, const std::string& selector) {
  SimFaultRule& r = rules_[static_cast<int>(fault)];
  if (selector == "all") {
    r.every = 1;
    return true;
  }
  const std::vector<std::string> parts = Split(selector, ':');
  unsigned long n = 0, count = 0;
  if (parts.size() == 3 && parts[0] == "from") {
    if (!ParseNumber(parts[2], count) || count == 0 || count > 1000000) return false;
  } else if (parts.size() != 2) {
    return false;
  }
  if (!ParseNumber(parts[1], n) || n == 0 || n > 1000000) return false;
  if (parts[0] == "every") r.every = static_cast<unsigned>(n);
  else if (parts[0] == "first") r.first = static_cast<unsigned>(n);
  else if (parts[0] == "from") {
    r.from = static_cast<unsigned>(n);
    r.count = static_cast<unsigned>(count);
  } else return false;
  return true;
}

bool SimController::AddObject(const std::string& spec) {
  const std::vector<std::string> parts = Split(spec, ':');
  unsigned long index = 0, sub = 0, width = 0, value = 0;
  if (parts.size() < 4 || parts.size() > 5 || !ParseNumber(parts[0], index) || index > 0xFFFF ||
      !ParseNumber(parts[1], sub) || sub > 0xFF || !ParseNumber(parts[2], width) || width < 1 || width > 4 ||
      !ParseNumber(parts[3], value) || value > 0xFFFFFFFFul)
    return false;
  if (parts.size() == 5 && parts[4] != "ro") return false;
  objects_[{static_cast<uint16_t>(index), static_cast<uint8_t>(sub)}] = {
      static_cast<uint32_t>(value), static_cast<uint8_t>(width), parts.size() == 5};
  return true;
}

bool SimController::ReadBehaviour(uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) {
  for (SimBehaviour* b : SimBehaviours())
    if (b->Read(*this, index, sub, value, width)) return true;
  return false;
}

bool SimController::WriteBehaviour(uint16_t index, uint8_t sub, uint32_t value, bool& accepted) {
  // A command may concern several behaviours (a cycle command sets the mode
  // word and the parameter store's cycle type): each one sees it.
  const bool command = index == 0x2000 && sub == 0;
  bool claimed = false;
  for (SimBehaviour* b : SimBehaviours()) {
    bool ok = true;
    if (!b->Write(*this, index, sub, value, ok)) continue;
    accepted = claimed ? accepted && ok : ok;
    claimed = true;
    if (!command) return true;
  }
  return claimed;
}

bool SimController::Lookup(uint16_t index, uint8_t sub, uint32_t& value) {
  uint8_t width = 0;
  if (ReadBehaviour(index, sub, value, width)) return true;
  const auto it = objects_.find({index, sub});
  if (it == objects_.end()) return false;
  value = it->second.value;
  return true;
}

namespace {
size_t firstBehaviours = 0;  // registered with SimRegisterBehaviourFirst, at the front
}  // namespace

bool SimRegisterBehaviour(SimBehaviour* behaviour) {
  const_cast<std::vector<SimBehaviour*>&>(SimBehaviours()).push_back(behaviour);
  return true;
}

bool SimRegisterBehaviourFirst(SimBehaviour* behaviour) {
  auto& all = const_cast<std::vector<SimBehaviour*>&>(SimBehaviours());
  all.insert(all.begin() + static_cast<long>(firstBehaviours++), behaviour);
  return true;
}

const std::vector<SimBehaviour*>& SimBehaviours() {
  static std::vector<SimBehaviour*> behaviours;
  return behaviours;
}

bool SimController::OpenJournal(const std::string& path) {
  journal_ = std::fopen(path.c_str(), "a");
  return journal_ != nullptr;
}

bool SimController::BlockHeld(int number) const {
  for (const SimBehaviour* b : SimBehaviours())
    if (b->HoldsBlock(number)) return true;
  return false;
}

SimBlock SimController::Block(int number) {
  SimBlock block;
  for (SimBehaviour* b : SimBehaviours())
    if (b->Block(*this, number, block)) return block;
  block.data.resize(blockLength_);
  for (uint16_t i = 0; i < blockLength_; ++i) block.data[i] = static_cast<uint8_t>(number * 7 + i);
  return block;
}

SimAnswer SimController::Handle(const uint8_t* req, int link) {
  const unsigned n = ++requests_;
  auto hits = [&](SimFault f) { return rules_[static_cast<int>(f)].Hits(n); };
  SimAnswer a;
  const uint8_t cmd = req[0];
  const uint16_t index = static_cast<uint16_t>(req[1] | req[2] << 8);
  const uint8_t sub = req[3];
  const uint32_t data = Get32(req + 4);
  const char* fault = "-";
  SimIntercept intercept = SimIntercept::None;
  for (SimBehaviour* b : SimBehaviours())
    if ((intercept = b->Intercept(n, index, sub)) != SimIntercept::None) break;

  std::memcpy(a.payload, req, 4);
  if (intercept != SimIntercept::None) {
    fault = InterceptName(intercept);
    a.send = intercept == SimIntercept::Abort;
    a.payload[0] = 0x80;
    Put32(a.payload + 4, kAbortNoObject);
    a.hangUp = intercept == SimIntercept::HangUp;
    a.exitNow = intercept == SimIntercept::Exit;
  } else if (hits(SimFault::Drop)) {
    fault = SimFaultName(SimFault::Drop);
  } else {
    a.send = true;
    if (hits(SimFault::Abort)) {
      fault = SimFaultName(SimFault::Abort);
      a.payload[0] = 0x80;
      Put32(a.payload + 4, 0x08000000);
    } else if (hits(SimFault::Refuse)) {
      fault = SimFaultName(SimFault::Refuse);
      a.payload[0] = 0x70;
    } else if (hits(SimFault::Echo)) {
      fault = SimFaultName(SimFault::Echo);
      std::memcpy(a.payload, req, 8);
    } else {
      auto it = objects_.find({index, sub});
      const int width = WidthOfWrite(cmd);
      uint32_t value = 0;
      uint8_t valueWidth = 0;
      bool accepted = true;
      if (cmd == 0x40 && ReadBehaviour(index, sub, value, valueWidth)) {
        a.payload[0] = ReadCommand(valueWidth);
        Put32(a.payload + 4, value);
      } else if (cmd != 0x40 && width != 0 && WriteBehaviour(index, sub, data, accepted)) {
        a.payload[0] = accepted ? 0x60 : 0x80;
        Put32(a.payload + 4, accepted ? 0 : kAbortNoObject);
        if (accepted && index == kCommandObject && sub == 0 && data >= kBlockCommand && data <= 0xFFFF &&
            BlockHeld(static_cast<int>(data - kBlockCommand)))
          a.blockNumber = static_cast<int>(data - kBlockCommand);
      } else if (it == objects_.end() || (cmd != 0x40 && width == 0)) {
        a.payload[0] = 0x80;
        Put32(a.payload + 4, kAbortNoObject);
      } else if (cmd == 0x40) {
        a.payload[0] = ReadCommand(it->second.width);
        Put32(a.payload + 4, it->second.value);
      } else if (it->second.readOnly) {
        a.payload[0] = 0x80;
        Put32(a.payload + 4, kAbortReadOnly);
      } else {
        const uint32_t mask = width == 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
        it->second.value = data & mask;
        a.payload[0] = 0x60;
        if (index == kCommandObject && sub == 0 && (data & 0xF000) == kBlockCommand && blockLength_ > 0)
          a.blockNumber = static_cast<int>(data & 0x0FFF);
      }
    }
    a.corrupt = hits(SimFault::Corrupt);
    a.wrongSender = hits(SimFault::WrongSender);
    a.strayShort = hits(SimFault::StrayShort);
    a.strayBytes = hits(SimFault::StrayBytes);
    if (a.corrupt) fault = SimFaultName(SimFault::Corrupt);
    if (a.wrongSender) fault = SimFaultName(SimFault::WrongSender);
    if (a.strayShort) fault = SimFaultName(SimFault::StrayShort);
    if (a.strayBytes) fault = SimFaultName(SimFault::StrayBytes);
  }
  if (journal_) {
    std::fprintf(journal_, "%u link%d %02X %04X %02X %08X %s\n", n, link, cmd, index, sub, data, fault);
    std::fflush(journal_);
  }
  return a;
}
