// The controller's parameters: the objects of the basic and the extended
// parameter set, the soft value 0x211F, eight EEPROM sets and status word 0
// (0x2004). Writes to a parameter go into a pending set that the take command
// (257) makes the working set; reads show the read-back registers, which the
// read-back request (258) loads from the working set. Save set n (0x500 + n)
// stores the working set, recall set n (0x510 + n) loads it back. 0x2005 is
// POS6 (0x2286) by another number; the cycle commands 0x110, 0x111 and 0x12C
// set the cycle type, which a read of the command object then answers.
#include <cstdlib>
#include <map>

#include "sim/SimBehaviour.h"

namespace {

constexpr uint16_t kCommandObject = 0x2000;
constexpr uint16_t kStatusObject = 0x2004;
constexpr uint16_t kSoftValueObject = 0x211F;
constexpr uint32_t kTake = 0x101;
constexpr uint32_t kReadBack = 0x102;
constexpr uint32_t kSoftOn = 0x14B;
constexpr uint32_t kSoftOff = 0x14C;
constexpr uint32_t kSaveSet = 0x500;
constexpr uint32_t kRecallSet = 0x510;
constexpr int kSets = 8;
constexpr uint32_t kValidParameters = 0x4000;
// POS6 has two object numbers: the wizard writes 0x2005, the set reads 0x2286.
constexpr uint16_t kPos6 = 0x2286, kPos6Alias = 0x2005;
constexpr uint32_t kCycleCodes[] = {0x110, 0x111, 0x12C};

// The parameter objects and their working values at power-up.
const std::map<uint16_t, uint32_t> kInitial = {
    {0x2008, 200}, {0x2009, 2000}, {0x200A, 2500}, {0x200B, 150}, {0x200C, 1200}, {0x200D, 0},  {0x200E, 1800},
    {0x2286, 11},  {0x2287, 12},   {0x2288, 13},   {0x2291, 21},  {0x2292, 22},   {0x2293, 23}, {0x2294, 24},
    {0x2295, 25},  {0x2296, 26},   {0x2297, 27},   {0x2298, 28},  {0x22A1, 31},   {0x22A3, 33}, {0x22A4, 34},
    {0x22A5, 35},  {0x22A6, 36},   {0x22A7, 37},   {0x22A8, 38},
};

using ParameterSet = std::map<uint16_t, uint32_t>;

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 0);
  return !text.empty() && end && *end == '\0' && value <= max;
}

class SimParameters : public SimBehaviour {
 public:
  SimParameters() {
    // Stored set n differs from the working set by 10 * (n + 1), so a
    // recall is seen in every value.
    for (int n = 0; n < kSets; ++n) {
      for (const auto& [index, value] : kInitial) sets_[n][index] = value + 10 * (n + 1);
      valid_[n] = true;
    }
  }

  const char* Usage() const override {
    return "  --status W           status word 0x2004 (default 0x12345678: bit 14, valid\n"
           "                       parameters, set)\n"
           "  --eeprom-status W    status word after every save and recall (EEPROM codes 21,\n"
           "                       22, 23 in the low byte)\n"
           "  --empty-set N        EEPROM set N (0..7) holds no valid parameters\n"
           "  --parm IDX=VALUE     working value of a parameter object at power-up\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    unsigned long n = 0;
    if (name == "--status" || name == "--eeprom-status") {
      ok = ParseNumber(value, 0xFFFFFFFFul, n);
      if (!ok) return true;
      if (name == "--status")
        status_ = static_cast<uint32_t>(n);
      else {
        eepromStatus_ = static_cast<uint32_t>(n);
        eepromStatusSet_ = true;
      }
      return true;
    }
    if (name == "--parm") {
      const size_t eq = value.find('=');
      unsigned long index = 0;
      ok = eq != std::string::npos && ParseNumber(value.substr(0, eq), 0xFFFF, index) &&
           ParseNumber(value.substr(eq + 1), 0xFFFF, n) && kInitial.count(Canonical(static_cast<uint16_t>(index)));
      if (ok) working_[Canonical(static_cast<uint16_t>(index))] = pending_[Canonical(static_cast<uint16_t>(index))] =
          readBack_[Canonical(static_cast<uint16_t>(index))] = static_cast<uint32_t>(n);
      return true;
    }
    if (name == "--empty-set") {
      ok = ParseNumber(value, kSets - 1, n);
      if (ok) valid_[n] = false;
      return true;
    }
    return false;
  }

  bool Read(SimController&, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    if (sub != 0) return false;
    if (index == kStatusObject) {
      value = status_;
      width = 4;
      return true;
    }
    if (index == kSoftValueObject) {
      value = softOn_ ? softValue_ : 0;
      width = 2;
      return true;
    }
    if (index == kCommandObject) {
      if (!cycleSet_) return false;  // the dictionary's last command
      value = cycleType_;
      width = 2;
      return true;
    }
    const auto it = readBack_.find(Canonical(index));
    if (it == readBack_.end()) return false;
    value = it->second;
    width = 2;
    return true;
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    if (sub != 0) return false;
    accepted = true;
    if (index == kSoftValueObject) {
      pendingSoft_ = value & 0xFFFF;
      return true;
    }
    if (index == kStatusObject) {
      accepted = false;  // read-only
      return true;
    }
    if (index == kCommandObject) return Command(value);
    const auto it = pending_.find(Canonical(index));
    if (it == pending_.end()) return false;
    it->second = value & 0xFFFF;
    return true;
  }

 private:
  static uint16_t Canonical(uint16_t index) { return index == kPos6Alias ? kPos6 : index; }

  bool Command(uint32_t code) {
    for (uint32_t cycle : kCycleCodes)
      if (code == cycle) {
        cycleType_ = code;
        cycleSet_ = true;
        return true;
      }
    if (code == kTake) {
      working_ = pending_;
      softValue_ = pendingSoft_;
    } else if (code == kReadBack) {
      readBack_ = working_;
    } else if (code == kSoftOn || code == kSoftOff) {
      softOn_ = code == kSoftOn;
    } else if (code >= kSaveSet && code < kSaveSet + kSets) {
      sets_[code - kSaveSet] = working_;
      valid_[code - kSaveSet] = true;
      AfterEeprom(true);
    } else if (code >= kRecallSet && code < kRecallSet + kSets) {
      const uint32_t n = code - kRecallSet;
      if (valid_[n]) pending_ = working_ = sets_[n];
      AfterEeprom(valid_[n]);
    } else {
      return false;
    }
    return true;
  }

  void AfterEeprom(bool valid) {
    status_ = (status_ & ~kValidParameters) | (valid ? kValidParameters : 0);
    if (eepromStatusSet_) status_ = eepromStatus_;
  }

  ParameterSet working_ = kInitial;
  ParameterSet pending_ = kInitial;
  ParameterSet readBack_ = kInitial;
  ParameterSet sets_[kSets];
  bool valid_[kSets] = {};
  uint32_t status_ = 0x12345678;
  uint32_t eepromStatus_ = 0;
  bool eepromStatusSet_ = false;
  bool softOn_ = false;
  uint32_t softValue_ = 0;
  uint32_t pendingSoft_ = 0;
  uint32_t cycleType_ = 0x110;
  bool cycleSet_ = false;
};

SimParameters parameters;
const bool registered = SimRegisterBehaviour(&parameters);

}  // namespace
