// Serial speed of link 1 and the three speed commands on the command object:
// 0x10D 9600, 0x10F 38400, 0x213 57600 baud. A speed command is answered at
// the old speed; the controller listens at the new one from then on.
#include "sim/SimSerialSpeed.h"

#include <termios.h>

#include <cstdlib>

#include "sim/SimBehaviour.h"

namespace {

constexpr uint16_t kCommandObject = 0x2000;

struct SpeedCommand {
  uint32_t code;
  long baud;
};
constexpr SpeedCommand kSpeedCommands[] = {{0x10D, 9600}, {0x10F, 38400}, {0x213, 57600}};

bool SpeedConstant(long baud, speed_t& speed) {
  switch (baud) {
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    default: return false;
  }
}

class SimSerialSpeed : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --baud N             link 1 hears frames only at N baud (9600, 19200, 38400,\n"
           "                       57600, 115200); the speed commands switch it (default: any speed)\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    if (name != "--baud") return false;
    char* end = nullptr;
    const long baud = std::strtol(value.c_str(), &end, 10);
    ok = end && *end == '\0' && SpeedConstant(baud, speed_);
    emulate_ = ok;
    return true;
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    if (index != kCommandObject || sub != 0) return false;
    for (const SpeedCommand& c : kSpeedCommands)
      if (c.code == value) {
        SpeedConstant(c.baud, speed_);
        accepted = true;
        return true;
      }
    return false;
  }

  bool Heard(int fd) const {
    if (!emulate_) return true;
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    return cfgetospeed(&t) == speed_;
  }

 private:
  bool emulate_ = false;
  speed_t speed_ = B9600;
};

SimSerialSpeed serialSpeed;
const bool registered = SimRegisterBehaviour(&serialSpeed);

}  // namespace

bool SimLineSpeedHeard(int ptyFd) { return serialSpeed.Heard(ptyFd); }
