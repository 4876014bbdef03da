// The controller's real-time clock, objects 0x211C/1..8 (one byte each): day,
// month, year since 2000, hour, minute, second and two further digits. It
// runs from a start time given with --clock (default: the PC's clock); a
// write of any field sets that field and the clock keeps running from there.
#include <ctime>

#include "sim/SimBehaviour.h"

namespace {

constexpr uint16_t kClockObject = 0x211C;

class SimClock : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --clock YYYY-MM-DDThh:mm:ss  start the controller clock there (default: PC clock)\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    if (name != "--clock") return false;
    std::tm t{};
    int y, mo, d, h, mi, s;
    char tail;
    ok = std::sscanf(value.c_str(), "%d-%d-%dT%d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) == 6 && y >= 2000 &&
         y <= 2099 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 &&
         s < 60;
    if (!ok) return true;
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    offset_ = static_cast<long>(timegm(&t) - std::time(nullptr));
    return true;
  }

  bool Read(SimController&, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    if (index != kClockObject || sub < 1 || sub > 8) return false;
    const std::tm t = Now();
    const int fields[8] = {t.tm_mday, t.tm_mon + 1, t.tm_year - 100, t.tm_hour, t.tm_min, t.tm_sec, extra_[0],
                           extra_[1]};
    value = static_cast<uint32_t>(fields[sub - 1]) & 0xFF;
    width = 1;
    return true;
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    if (index != kClockObject || sub < 1 || sub > 8) return false;
    std::tm t = Now();
    const int v = static_cast<int>(value & 0xFF);
    switch (sub) {
      case 1: t.tm_mday = v; break;
      case 2: t.tm_mon = v - 1; break;
      case 3: t.tm_year = v + 100; break;
      case 4: t.tm_hour = v; break;
      case 5: t.tm_min = v; break;
      case 6: t.tm_sec = v; break;
      default: extra_[sub - 7] = v; break;
    }
    // Out-of-range fields are refused as the controller's clock would.
    accepted = t.tm_mday >= 1 && t.tm_mday <= 31 && t.tm_mon >= 0 && t.tm_mon < 12 && t.tm_year >= 100 &&
               t.tm_year < 200 && t.tm_hour < 24 && t.tm_min < 60 && t.tm_sec < 60;
    if (accepted) offset_ = static_cast<long>(timegm(&t) - std::time(nullptr));
    return true;
  }

 private:
  std::tm Now() const {
    const std::time_t now = std::time(nullptr) + offset_;
    std::tm t{};
    gmtime_r(&now, &t);
    return t;
  }

  long offset_ = [] {
    // The PC's local time, kept in a UTC-based count.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<long>(timegm(&local) - now);
  }();
  int extra_[2] = {0, 0};
};

SimClock clock;
const bool registered = SimRegisterBehaviour(&clock);

}  // namespace
