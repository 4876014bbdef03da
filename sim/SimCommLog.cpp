// The controller's communication logging: a write of 0x109 to the command
// object 0x2000/0 switches it on, 0x10A off. While it is on, the controller
// mirrors its traffic as text lines on the USB link (link 4), one line per
// request it answers, and says every so often that it is still logging. The
// write of 0x10A itself is answered without a line, so the tool gets a clean
// answer when it switches logging off.
#include <cstdio>

#include "sim/SimBehaviour.h"

namespace {

constexpr int kLinkUsb = 4;
constexpr uint16_t kLoggingOn = 0x109;
constexpr uint16_t kLoggingOff = 0x10A;
constexpr int64_t kUnaskedPeriodMs = 300;

// A 2-byte write to 0x2000/0 that was accepted, and the code it wrote.
bool CommandWritten(const uint8_t* request, const uint8_t* answer, uint16_t& code) {
  if (request[0] != 0x2B || request[1] != 0x00 || request[2] != 0x20 || request[3] != 0x00 || answer[0] != 0x60)
    return false;
  code = static_cast<uint16_t>(request[4] | request[5] << 8);
  return true;
}

std::string Hex(const uint8_t* bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X %02X %02X %02X %02X", bytes[0], bytes[1], bytes[2], bytes[3],
                bytes[4], bytes[5], bytes[6], bytes[7]);
  return text;
}

class SimCommLog : public SimBehaviour {
 public:
  std::string TextAfterAnswer(int link, const uint8_t* request, const uint8_t* answer) override {
    uint16_t code = 0;
    if (CommandWritten(request, answer, code)) {
      if (code == kLoggingOff) on_ = false;
      if (code == kLoggingOn) on_ = true;
    }
    if (!on_ || link != kLinkUsb) return {};
    return "RC7 LOG " + Line() + " rx " + Hex(request) + " tx " + Hex(answer) + "\r\n";
  }

  std::string TextUnasked(int link, int64_t nowMs) override {
    if (!on_ || link != kLinkUsb || nowMs < next_) return {};
    next_ = nowMs + kUnaskedPeriodMs;
    return "RC7 LOG " + Line() + " logging on, no requests\r\n";
  }

 private:
  std::string Line() {
    char number[16];
    std::snprintf(number, sizeof number, "%06u", ++lines_);
    return number;
  }

  bool on_ = false;
  int64_t next_ = 0;
  unsigned lines_ = 0;
};

SimCommLog commLog;
const bool registered = SimRegisterBehaviour(&commLog);

}  // namespace
