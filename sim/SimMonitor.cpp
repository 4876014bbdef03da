// What the tool's position monitor reads besides the plain dictionary: the
// ram and motor positions (0x2002/0, 0x22B1/0, 2 bytes, hundredths of a
// millimetre) moving with a stroke, and the two pressures, which the
// controller keeps in 0x2318/2 and /3 from firmware revision 5 on (low byte
// of its version) and in 0x2503/2 and /3 before; the other pair is unknown
// to it. Without --stroke the ram position is the dictionary's 0x2002
// (--object), so a fixed or negative position is one option away, and the
// motor follows it. Status word 0 (0x2004) and status word 1 with the lamp
// bits (0x2119) are dictionary objects (--object, or written by the tool).
#include <cmath>
#include <cstdio>

#include "sim/SimBehaviour.h"
#include "sim/SimController.h"
#include "sim/SimLinks.h"

namespace {

constexpr uint16_t kRamPos = 0x2002;
constexpr uint16_t kMotPos = 0x22B1;
constexpr uint16_t kPressNew = 0x2318;
constexpr uint16_t kPressOld = 0x2503;
constexpr uint16_t kFwVersion = 0x200F;
constexpr uint16_t kFwVersionWords = 0x211D;
// The motor runs this far ahead of the ram (hundredths of a millimetre).
constexpr int kMotorLead = 25;

class SimMonitor : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --stroke MS          the ram strokes with this period; 0x2002 and 0x22B1 follow it\n"
           "  --stroke-range TOP:BOTTOM  stroke ends in 1/100 mm, negative allowed (default 2000:6000)\n"
           "  --pressure ND:HD     raw pressure values (default 18600:25000)\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    char tail;
    if (name == "--stroke") {
      ok = std::sscanf(value.c_str(), "%d%c", &strokeMs_, &tail) == 1 && strokeMs_ > 0 && strokeMs_ <= 600000;
      start_ = SimNowMs();
      return true;
    }
    if (name == "--stroke-range") {
      ok = std::sscanf(value.c_str(), "%d:%d%c", &top_, &bottom_, &tail) == 2 && top_ >= -32768 && top_ <= 32767 &&
           bottom_ >= -32768 && bottom_ <= 32767;
      return true;
    }
    if (name == "--pressure") {
      ok = std::sscanf(value.c_str(), "%u:%u%c", &pressure_[0], &pressure_[1], &tail) == 2;
      return true;
    }
    return false;
  }

  bool Read(SimController& controller, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    if (sub == 0 && (index == kMotPos || (index == kRamPos && strokeMs_ > 0))) {
      int ram = 0;
      if (strokeMs_ > 0) {
        ram = Position();
      } else {
        uint32_t stored = 0;
        controller.Lookup(kRamPos, 0, stored);
        ram = static_cast<int16_t>(stored & 0xFFFF);
      }
      const int position = ram + (index == kMotPos ? kMotorLead : 0);
      value = static_cast<uint32_t>(position) & 0xFFFF;
      width = 2;
      return true;
    }
    if ((sub == 2 || sub == 3) && index == (NewPressureLayout(controller) ? kPressNew : kPressOld)) {
      value = pressure_[sub - 2];
      width = 4;
      return true;
    }
    return false;
  }

 private:
  // Where the ram is now: a cosine stroke from top to bottom and back.
  int Position() const {
    const double phase = static_cast<double>((SimNowMs() - start_) % strokeMs_) / strokeMs_;
    return top_ + static_cast<int>(std::lround((bottom_ - top_) * (1.0 - std::cos(2.0 * M_PI * phase)) / 2.0));
  }

  // The firmware revision as the tool computes it: the low byte of 0x200F,
  // or of 0x211D/4 when 0x200F reads 0 or 0xFFFF. A controller that reports
  // none has the new layout.
  static bool NewPressureLayout(SimController& controller) {
    uint32_t version = 0;
    if (!controller.Lookup(kFwVersion, 0, version)) return true;
    if ((version == 0 || version == 0xFFFF) && !controller.Lookup(kFwVersionWords, 4, version)) return true;
    return (version & 0xFF) >= 5;
  }

  int strokeMs_ = 0;
  int64_t start_ = 0;
  int top_ = 2000;
  int bottom_ = 6000;
  unsigned pressure_[2] = {18600, 25000};
};

SimMonitor monitor;
const bool registered = SimRegisterBehaviour(&monitor);

}  // namespace
