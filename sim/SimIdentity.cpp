// What the controller tells about itself when the tool connects: firmware
// version (0x200F, or 0xFFFF with the version in 0x211D/3 and /4), ram type
// (0x2106), sample time (0x2102), mode words 0 and 1 (0x2103, 0x210F), the
// two trace mode words (0x2A00/1, /2) and the trace selector (0x2001). The
// firmware variant is chosen with --variant; the commands that change these
// objects (ram type selection, UDSEL inhibit, cycle selection) act on them.
// Without any of these options the controller is the plain dictionary.
#include <cstdlib>
#include <utility>

#include "sim/SimBehaviour.h"

namespace {

constexpr uint16_t kCommandObject = 0x2000;
constexpr uint16_t kTraceSelector = 0x2001;  // trace a trigger command is for: 1 or 2

struct Variant {
  const char* name;
  uint16_t product;
  uint16_t revision;
  uint16_t ramtype;
  bool versionInExtObject;  // 0x200F reads 0xFFFF
};

// Products 135 and 235 are the two families the tool knows by number; a
// Quill is known by its ram type (0x8x); 99 is a product it does not know.
constexpr Variant kVariants[] = {
    {"p0528", 235, 7, 0x30, false},  {"p0417", 135, 5, 0x10, false},  {"quill", 150, 3, 0x80, false},
    {"quill2", 150, 3, 0x85, false}, {"unknown", 99, 2, 0x20, false}, {"ffff", 235, 9, 0x31, true},
};

// Mode word bits the cycle and UDSEL commands switch.
constexpr uint16_t kMode0Form2 = 0x0020;
constexpr uint16_t kMode0Form3 = 0x8000;
constexpr uint16_t kMode1UdselInhibit = 0x0001;

bool ParseWord(const std::string& text, uint32_t max, uint32_t& value) {
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || !end || *end != '\0' || v > max) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

class SimIdentity : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --variant NAME       firmware: p0528 (the default once any of these options is\n"
           "                       given), p0417, quill, quill2 (ram type\n"
           "                       above 0x80), unknown (product 99), ffff (version in 0x211D)\n"
           "  --ramtype CODE       ram type 0x2106 (default: the variant's)\n"
           "  --revision N         firmware revision (default: the variant's)\n"
           "  --mode0 W | --mode1 W             mode words 0x2103 and 0x210F (default 0)\n"
           "  --trace1-mode W | --trace2-mode W trace mode words 0x2A00/1 and /2 (default 0)\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    const bool mine = Handles(name, value, ok);
    if (mine) active_ = true;
    return mine;
  }

  bool Read(SimController&, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    return active_ && ReadObject(index, sub, value, width);
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    return active_ && WriteObject(index, sub, value, accepted);
  }

 private:
  bool Handles(const std::string& name, const std::string& value, bool& ok) {
    if (name == "--variant") {
      ok = false;
      for (const Variant& v : kVariants)
        if (value == v.name) {
          variant_ = &v;
          if (!ramtypeSet_) ramtype_ = v.ramtype;
          ok = true;
        }
      return true;
    }
    uint32_t word = 0;
    static const std::pair<const char*, uint32_t SimIdentity::*> kWords[] = {
        {"--mode0", &SimIdentity::mode0_},
        {"--mode1", &SimIdentity::mode1_},
        {"--trace1-mode", &SimIdentity::trace1Mode_},
        {"--trace2-mode", &SimIdentity::trace2Mode_},
        {"--ramtype", &SimIdentity::ramtype_},
        {"--revision", &SimIdentity::revision_},
    };
    for (const auto& [option, member] : kWords) {
      if (name != option) continue;
      ok = ParseWord(value, 0xFFFF, word);
      if (ok) this->*member = word;
      if (member == &SimIdentity::ramtype_) ramtypeSet_ = true;
      if (member == &SimIdentity::revision_) revisionSet_ = true;
      return true;
    }
    return false;
  }

  bool ReadObject(uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) const {
    width = 2;
    if (sub == 0) {
      switch (index) {
        case 0x200F:
          value = variant_->versionInExtObject ? 0xFFFF : (variant_->product & 0xFF) << 8 | (Revision() & 0xFF);
          return true;
        case 0x2101: value = 0x0002; return true;
        case 0x2102: value = sampleTime_; return true;
        case 0x2103: value = mode0_; return true;
        case 0x2106: value = ramtype_; return true;
        case 0x210F: value = mode1_; return true;
        case 0x22B3: value = 0x0100; return true;
        case kTraceSelector: value = traceSelector_; return true;
        default: return false;
      }
    }
    if (index == 0x211D && sub >= 1 && sub <= 4) {
      const uint32_t ext[4] = {1, 0, variant_->product, Revision()};
      value = ext[sub - 1];
      return true;
    }
    if (index == 0x2A00 && sub >= 1 && sub <= 4) {
      const uint32_t trace[4] = {trace1Mode_, trace2Mode_, sampleTime2_, 1000};
      value = trace[sub - 1];
      width = 4;
      return true;
    }
    return false;
  }

  bool WriteObject(uint16_t index, uint8_t sub, uint32_t value, bool& accepted) {
    accepted = true;
    if (index == 0x2102 && sub == 0) {
      sampleTime_ = value & 0xFFFF;
      return true;
    }
    if (index == 0x2A00 && sub == 3) {
      sampleTime2_ = value;
      return true;
    }
    if (index == kTraceSelector && sub == 0) {
      traceSelector_ = value & 0xFFFF;
      return true;
    }
    if (index != kCommandObject || sub != 0) return false;
    if ((value & 0xFF00) == 0x400) {
      ramtype_ = value & 0xFF;
      return true;
    }
    switch (value) {
      case 0x110: mode0_ &= ~uint32_t{kMode0Form2 | kMode0Form3}; return true;
      case 0x111: mode0_ = (mode0_ & ~uint32_t{kMode0Form3}) | kMode0Form2; return true;
      case 0x12C: mode0_ = (mode0_ & ~uint32_t{kMode0Form2}) | kMode0Form3; return true;
      case 0x12D: mode1_ |= kMode1UdselInhibit; return true;
      case 0x12E: mode1_ &= ~uint32_t{kMode1UdselInhibit}; return true;
      default: return false;
    }
  }

  uint32_t Revision() const { return revisionSet_ ? revision_ : variant_->revision; }

  // Off until one of its options is given: the plain dictionary answers.
  bool active_ = false;
  const Variant* variant_ = &kVariants[0];
  uint32_t ramtype_ = kVariants[0].ramtype;
  bool ramtypeSet_ = false;
  uint32_t revision_ = 0;
  bool revisionSet_ = false;
  uint32_t sampleTime_ = 4;
  uint32_t sampleTime2_ = 4;
  uint32_t mode0_ = 0;
  uint32_t mode1_ = 0;
  uint32_t trace1Mode_ = 0;
  uint32_t trace2Mode_ = 0;
  uint32_t traceSelector_ = 1;
};

SimIdentity identity;
const bool registered = SimRegisterBehaviour(&identity);

}  // namespace
