// The controller's scope: one or two recorded traces of a press stroke
// (sim/SimStroke), the geometry and trigger objects the tool reads before a
// download, the trace header objects, the trigger commands and the memory
// sent block by block on command 0x1000 + n. The frame layout follows the
// firmware the identity tells (P0417 by its product number, a Quill by its
// ram type 0x8x, the P0528 layout otherwise). Off until --scope is given.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "sim/SimBacktraceFile.h"
#include "sim/SimBehaviour.h"
#include "sim/SimController.h"
#include "sim/SimStroke.h"

namespace {

constexpr uint16_t kCommandObject = 0x2000;
constexpr uint16_t kTraceSelector = 0x2001;
constexpr uint32_t kBlockCommand = 0x1000;
constexpr size_t kMaxBlock = 1400;  // what one datagram carries

// Trigger commands and the status bits they change.
constexpr uint32_t kCmdBackward = 0x134;
constexpr uint32_t kCmdForward = 0x13F;
constexpr uint32_t kCmdMcycle = 0x128;
constexpr uint32_t kCmdHardware = 0x129;
constexpr uint32_t kCmdFreeze = 0x12A;
constexpr uint32_t kCmdUnfreeze = 0x12B;
constexpr uint32_t kCmdTrigger = 0x120;
constexpr uint32_t kHardware = 0x0001;
constexpr uint32_t kForward = 0x0008;
constexpr uint32_t kBackward = 0x0010;
constexpr uint32_t kFrozen = 0x0020;
constexpr uint32_t kQuillRunning = 0x0040;
constexpr uint32_t kRunning = 0x0100;

constexpr uint16_t kProductP0417 = 135;

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 0);
  return !text.empty() && end && *end == '\0' && value <= max;
}

// "A" or "A:B" into one or two numbers (b unchanged without one).
bool ParsePair(const std::string& text, unsigned long max, unsigned long& a, unsigned long& b) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return ParseNumber(text, max, a);
  return ParseNumber(text.substr(0, colon), max, a) && ParseNumber(text.substr(colon + 1), max, b);
}

// A value of a header object the tool only stores: fixed per object.
uint32_t HeaderValue(uint16_t index, uint8_t sub) { return (static_cast<uint32_t>(index & 0xFF) * 1000 + sub * 37) % 65536; }

// The header also stores the macro image's length and CRC (0x22F0/3, /2):
// the macro memory answers those, as they must match what it holds.
bool HeaderObject(uint16_t index, uint8_t sub) {
  switch (index) {
    case 0x2118: case 0x2320: case 0x2601: return sub == 0;
    case 0x2503: return sub == 8;
    case 0x2602: return sub == 2 || sub == 3;
    case 0x2603: return sub >= 1 && sub <= 4;
    case 0x2604: return sub >= 2 && sub <= 25;
    case 0x260A: return sub >= 1 && sub <= 15;
    case 0x2107: return sub >= 1 && sub <= 9;
    case 0x260E: return sub == 1;
    default: return false;
  }
}

class SimScope : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --scope N[:M]        scope memory: the first trace of N frames, the second of M\n"
           "                       (default N); the layout follows the identity's firmware\n"
           "  --scope-frame-len L | --scope-per-block F   geometry (default 16 bytes, 31)\n"
           "  --scope-status W[:W2] trace status words (default 0x0008, forward)\n"
           "  --scope-sample2 CODE second trace's sample time (default 4)\n"
           "  --scope-pressure A:B:C  ANA0..ANA2 at 20 mA in 1/100 bar (0x2318/0x10..0x12)\n"
           "  --scope-ram-gaps 0|1 Quill ram positions missing in places (default 1)\n"
           "  --scope-corrupt-block N:K  block N with a wrong CRC K times\n"
           "  --scope-short-block N | --scope-withhold-block N\n"
           "  --scope-dump FILE    the memory as sent, written at every download\n"
           "  --scope-lo1 FILE     the memory as the controller's backtrace file (.lo1),\n"
           "                       written at every download\n"
           "  --scope-lo1-crlf 0|1 its text lines end in CR LF (default 0)\n"
           "  --scope-travel TOP:BOTTOM|params  the stroke's ends (params: POS2 0x2009, POS5 0x200A)\n"
           "  --scope-speeds DOWN:UP  approach and return in mm/s | --scope-dwell MS\n"
           "  --scope-switch POS   the switch output comes on below POS\n"
           "  --scope-fault cycle|shallow|no-return  a stroke the evaluation refuses\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    unsigned long a = 0, b = 0;
    if (name == "--scope") {
      b = 0x10000;
      ok = ParsePair(value, 0xFFFF, a, b);
      frames_[0] = static_cast<uint32_t>(a);
      frames_[1] = static_cast<uint32_t>(b == 0x10000 ? a : b);
      active_ = ok;
    } else if (name == "--scope-frame-len") {
      ok = ParseNumber(value, 0xFFFF, a) && a > 0;
      frameLength_ = static_cast<uint16_t>(a);
    } else if (name == "--scope-per-block") {
      ok = ParseNumber(value, 0xFFFF, a);
      perBlock_ = static_cast<uint16_t>(a);
    } else if (name == "--scope-status") {
      b = 0x10000;
      ok = ParsePair(value, 0xFFFF, a, b);
      status_[0] = static_cast<uint32_t>(a);
      status_[1] = static_cast<uint32_t>(b == 0x10000 ? a : b);
    } else if (name == "--scope-sample2") {
      ok = ParseNumber(value, 0xFFFF, a);
      sampleTime2_ = static_cast<uint32_t>(a);
    } else if (name == "--scope-pressure") {
      unsigned long p[3] = {};
      ok = std::sscanf(value.c_str(), "%lu:%lu:%lu", &p[0], &p[1], &p[2]) == 3;
      for (int i = 0; i < 3; ++i) pressure_[i] = static_cast<uint32_t>(p[i]);
    } else if (name == "--scope-ram-gaps") {
      ok = ParseNumber(value, 1, a);
      ramGaps_ = a != 0;
    } else if (name == "--scope-corrupt-block") {
      ok = ParsePair(value, 0xFFFF, a, b) && b > 0;
      corruptBlock_ = static_cast<int>(a);
      corruptLeft_ = static_cast<unsigned>(b);
    } else if (name == "--scope-short-block") {
      ok = ParseNumber(value, 0xFFFF, a);
      shortBlock_ = static_cast<int>(a);
    } else if (name == "--scope-withhold-block") {
      ok = ParseNumber(value, 0xFFFF, a);
      withheldBlock_ = static_cast<int>(a);
    } else if (name == "--scope-travel") {
      travelFromParameters_ = value == "params";
      shape_.travel = !travelFromParameters_;
      ok = travelFromParameters_ || (std::sscanf(value.c_str(), "%d:%d", &shape_.top, &shape_.bottom) == 2 &&
                                     shape_.top >= -32768 && shape_.bottom <= 32767 && shape_.top < shape_.bottom);
    } else if (name == "--scope-speeds") {
      ok = ParsePair(value, 10000, a, b) && a > 0 && b > 0;
      shape_.speedDown = static_cast<int>(a);
      shape_.speedUp = static_cast<int>(b);
    } else if (name == "--scope-dwell") {
      ok = ParseNumber(value, 60000, a);
      shape_.dwellMs = static_cast<double>(a);
    } else if (name == "--scope-switch") {
      ok = std::sscanf(value.c_str(), "%d", &shape_.switchAt) == 1;
      shape_.switchSet = true;
    } else if (name == "--scope-fault") {
      const std::map<std::string, SimStrokeFault> faults = {
          {"cycle", SimStrokeFault::OtherCycle}, {"shallow", SimStrokeFault::Shallow},
          {"no-return", SimStrokeFault::NoReturn}};
      const auto f = faults.find(value);
      ok = f != faults.end();
      if (ok) shape_.fault = f->second;
    } else if (name == "--scope-dump") {
      dump_ = value;
      ok = !value.empty();
    } else if (name == "--scope-lo1") {
      lo1_ = value;
      ok = !value.empty();
    } else if (name == "--scope-lo1-crlf") {
      ok = ParseNumber(value, 1, a);
      lo1Crlf_ = a != 0;
    } else {
      return false;
    }
    return true;
  }

  bool Read(SimController& c, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    if (!active_) return false;
    width = 2;
    if (sub == 0) {
      switch (index) {
        case 0x210C:
          // The tool starts a download with the geometry: the memory is made
          // from what the controller is now, at the first block asked for, so
          // that a geometry read, asked again under load, is answered at once.
          Configure(c);
          stale_ = true;
          value = frameLength_;
          return true;
        case 0x210D: value = perBlock_; return true;
        case 0x2115: value = frames_[0]; return true;
        case 0x210F:
          if (Layout(c) != SimScopeLayout::Quill || TwoTraces(c)) return false;
          value = status_[0];
          return true;
        case 0x2101: value = encoding_.lmsResol; return true;
        case 0x22B3: value = encoding_.motResol; return true;
        case 0x2118: value = frames_[0] / 4; return true;  // post-trigger frames
        case kTraceSelector: value = selector_; return true;
        default: break;
      }
    }
    width = 4;
    if (index == 0x2A00 && sub >= 1 && sub <= 4) {
      const uint32_t v[4] = {status_[0], status_[1], sampleTime2_, frames_[1]};
      value = v[sub - 1];
      return true;
    }
    if (index == 0x2318 && sub >= 0x10 && sub <= 0x12) {
      value = pressure_[sub - 0x10];
      return true;
    }
    if (!HeaderObject(index, sub)) return false;
    value = HeaderValue(index, sub);
    return true;
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    if (!active_) return false;
    accepted = true;
    if (index == 0x2A00 && sub == 3) {
      sampleTime2_ = value;
      return true;
    }
    if (sub != 0) return false;
    if (index == kTraceSelector) {
      selector_ = value & 0xFFFF;
      return true;
    }
    if (index != kCommandObject) return false;
    // The block follows the answer; codes beyond the memory's blocks are
    // other behaviours' commands.
    if (value >= kBlockCommand && HoldsBlock(static_cast<int>(value - kBlockCommand))) return true;
    uint32_t& s = status_[selector_ == 2 ? 1 : 0];
    const uint32_t running = quill_ ? kQuillRunning : kRunning;
    switch (value) {
      case kCmdBackward: s = (s & ~kForward) | kBackward | running; return true;
      case kCmdForward: s = (s & ~(kBackward | running)) | kForward; return true;
      case kCmdMcycle: s &= ~kHardware; return true;
      case kCmdHardware: s |= kHardware; return true;
      case kCmdFreeze: s |= kFrozen; return true;
      case kCmdUnfreeze: s &= ~kFrozen; return true;
      case kCmdTrigger: s &= ~running; return true;  // a running backtrace stops
      default: return false;
    }
  }

  bool HoldsBlock(int number) const override {
    if (!active_) return false;
    const size_t length = BlockBytes();
    const size_t bytes = std::max<size_t>((static_cast<size_t>(frames_[0]) + frames_[1]) * frameLength_, memory_.size());
    return length > 0 && static_cast<size_t>(number) * length < std::max(bytes, length);
  }

  bool Block(SimController& c, int number, SimBlock& block) override {
    if (!active_) return false;
    if (stale_ || memory_.empty()) Generate(c);
    const size_t length = BlockBytes();
    const size_t from = static_cast<size_t>(number) * length;
    block.data.assign(length, 0);
    for (size_t i = 0; i < length && from + i < memory_.size(); ++i) block.data[i] = memory_[from + i];
    if (number == shortBlock_) block.data.resize(length / 2);
    block.send = number != withheldBlock_;
    if (number == corruptBlock_ && corruptLeft_ > 0) {
      --corruptLeft_;
      block.corrupt = true;
    }
    return true;
  }

 private:
  size_t BlockBytes() const { return std::min<size_t>(static_cast<size_t>(frameLength_) * perBlock_, kMaxBlock); }
  uint32_t Ask(SimController& c, uint16_t index, uint8_t sub, uint32_t otherwise) {
    uint32_t v = 0;
    return c.Lookup(index, sub, v) ? v : otherwise;
  }
  uint16_t Product(SimController& c) {
    const uint32_t version = Ask(c, 0x200F, 0, 0xEB00);
    return static_cast<uint16_t>(version == 0xFFFF ? Ask(c, 0x211D, 3, 0) : version >> 8);
  }
  uint16_t Ramtype(SimController& c) { return static_cast<uint16_t>(Ask(c, 0x2106, 0, 0x30)); }
  SimScopeLayout Layout(SimController& c) {
    if (Product(c) == kProductP0417) return SimScopeLayout::P0417;
    return (Ramtype(c) & 0xF0) == 0x80 ? SimScopeLayout::Quill : SimScopeLayout::P0528;
  }
  bool TwoTraces(SimController& c) {
    const SimScopeLayout l = Layout(c);
    return l == SimScopeLayout::P0528 || (l == SimScopeLayout::Quill && Ramtype(c) > 0x80);
  }

  // The layout and encoding of the controller as it is now.
  void Configure(SimController& c) {
    const SimScopeLayout layout = Layout(c);
    const uint16_t ramtype = Ramtype(c);
    quill_ = layout == SimScopeLayout::Quill;
    encoding_.layout = layout;
    encoding_.ramtype = ramtype;
    switch (ramtype & 0xF0) {
      case 0x30: case 0x70: case 0x90: case 0xA0: case 0xB0: encoding_.interleaved = true; break;
      default: encoding_.interleaved = quill_; break;
    }
    encoding_.ramGaps = quill_ && ramGaps_;
  }

  // The traces' frames one after the other, each frameLength_ bytes.
  void Generate(SimController& c) {
    Configure(c);
    stale_ = false;
    const SimScopeLayout layout = encoding_.layout;
    const bool p0417 = layout == SimScopeLayout::P0417;
    const uint32_t sample1 = Ask(c, 0x2102, 0, 4);
    const double unitMs = p0417 ? 1.0 : 0.5;
    const uint32_t frames[2] = {p0417 ? 150u : frames_[0], TwoTraces(c) ? frames_[1] : 0u};
    memory_.clear();
    SimStrokeShape shape = shape_;
    if (travelFromParameters_) {
      // The working set's POS2 and POS5, as the tool reads them (two's complement).
      shape.travel = true;
      shape.top = static_cast<int16_t>(Ask(c, 0x2009, 0, 2000));
      shape.bottom = static_cast<int16_t>(Ask(c, 0x200A, 0, 6000));
    }
    for (int t = 0; t < 2; ++t) {
      const double sampleMs = (t == 0 ? sample1 : sampleTime2_) * unitMs;
      const SimStrokeModel model = SimScopeTraceModel(layout, t, quill_ && !TwoTraces(c), shape);
      const auto samples = SimStrokeGenerate(model, frames[t], sampleMs > 0 ? sampleMs : 1.0);
      std::vector<uint8_t> raw(samples.size() * 16);
      SimStrokeEncode(samples, encoding_, raw.data());
      for (size_t f = 0; f < samples.size(); ++f) {
        const uint8_t* r = raw.data() + f * 16;
        for (size_t k = 0; k < frameLength_; ++k) memory_.push_back(k < 16 ? r[k] : 0);
      }
    }
    if (!dump_.empty()) WriteFile(dump_, std::string(memory_.begin(), memory_.end()));
    if (!lo1_.empty()) WriteFile(lo1_, SimBacktraceFileBytes(Backtrace(c, frames, sample1), lo1Crlf_));
  }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }

  // The backtrace file of the memory just made: the geometry, trace and
  // header objects as the download reads them, then the frames.
  SimBacktrace Backtrace(SimController& c, const uint32_t (&frames)[2], uint32_t sample1) {
    SimBacktrace f;
    f.firmware = static_cast<uint32_t>(Product(c)) << 16 | (Ask(c, 0x211D, 4, 0) & 0xFFFF);
    f.bootloader = HeaderValue(0x2320, 0);  // what the download reads as the boot loader's version
    f.fileFormat = encoding_.layout == SimScopeLayout::P0417 ? 1 : 4;
    const uint32_t version = Ask(c, 0x200F, 0, 0xEB00);
    auto& r = f.records;
    r = {{0x210C, 0, 2, frameLength_}, {0x2115, 0, 2, frames[0]},        {0x2102, 0, 2, sample1},
         {0x2118, 0, 2, frames[0] / 4}, {0x2101, 0, 2, encoding_.lmsResol}, {0x22B3, 0, 2, encoding_.motResol},
         {0x2106, 0, 2, encoding_.ramtype}, {0x200F, 0, 2, version & 0xFFFF},
         {0x2A00, 1, 4, status_[0]},    {0x2A00, 2, 4, status_[1]},       {0x2A00, 3, 4, sampleTime2_},
         {0x2A00, 4, 4, frames[1]}};
    r.push_back({0x2601, 0, 2, HeaderValue(0x2601, 0)});
    for (uint8_t i = 0; i < 3; ++i) r.push_back({0x2318, static_cast<uint8_t>(0x10 + i), 4, pressure_[i]});
    const uint16_t objects[] = {0x2503, 0x2602, 0x2603, 0x2604, 0x260A, 0x2107};
    for (uint16_t index : objects)
      for (unsigned sub = 0; sub <= 25; ++sub)
        if (HeaderObject(index, static_cast<uint8_t>(sub)))
          r.push_back({index, static_cast<uint8_t>(sub), 4, HeaderValue(index, static_cast<uint8_t>(sub))});
    f.frames = memory_;
    return f;
  }

  bool active_ = false;
  bool quill_ = false;
  bool stale_ = false;  // the memory is made again at the next block
  uint32_t frames_[2] = {1000, 1000};
  uint16_t frameLength_ = 16;
  uint16_t perBlock_ = 31;
  uint32_t status_[2] = {kForward, kForward};
  uint32_t sampleTime2_ = 4;
  uint32_t pressure_[3] = {40000, 25000, 40000};
  uint32_t selector_ = 1;
  bool ramGaps_ = true;
  int corruptBlock_ = -1;
  unsigned corruptLeft_ = 0;
  int shortBlock_ = -1;
  int withheldBlock_ = -1;
  std::string dump_;
  std::string lo1_;
  bool lo1Crlf_ = false;
  SimScopeEncoding encoding_;
  SimStrokeShape shape_;
  bool travelFromParameters_ = false;
  std::vector<uint8_t> memory_;
};

SimScope scope;
// Ahead of the identity: the trace objects it answers while the scope is off.
const bool registered = SimRegisterBehaviourFirst(&scope);

}  // namespace
