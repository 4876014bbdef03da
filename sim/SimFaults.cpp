// Faults that end or cut the conversation: one object answered only with
// aborts, a controller that falls silent, a line that goes away (the USB
// device unplugged, the cable pulled) and a simulator that ends mid-run.
#include <cstdio>
#include <cstdlib>

#include "sim/SimBehaviour.h"

namespace {

bool ReadCount(const std::string& text, unsigned& count) {
  char* end = nullptr;
  const unsigned long n = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || !end || *end != '\0' || n == 0 || n > 1000000) return false;
  count = static_cast<unsigned>(n);
  return true;
}

class SimFaults : public SimBehaviour {
 public:
  const char* Usage() const override {
    return "  --abort-object IDX:SUB  answer every request to this object with an abort\n"
           "  --silent-after N     answer nothing after the Nth request\n"
           "  --hang-up-after N    close the line of the request after the Nth (a vanished device)\n"
           "  --exit-after N       end the simulator on the request after the Nth\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    if (name == "--abort-object") {
      int index = -1, sub = -1;
      char tail;
      ok = std::sscanf(value.c_str(), "%i:%i%c", &index, &sub, &tail) == 2 && index >= 0 && index <= 0xFFFF &&
           sub >= 0 && sub <= 0xFF;
      abortIndex_ = ok ? index : -1;
      abortSub_ = ok ? sub : -1;
      return true;
    }
    if (name == "--silent-after") return ok = ReadCount(value, silentAfter_), true;
    if (name == "--hang-up-after") return ok = ReadCount(value, hangUpAfter_), true;
    if (name == "--exit-after") return ok = ReadCount(value, exitAfter_), true;
    return false;
  }

  SimIntercept Intercept(unsigned request, uint16_t index, uint8_t sub) override {
    if (exitAfter_ && request > exitAfter_) return SimIntercept::Exit;
    if (hangUpAfter_ && request > hangUpAfter_) return SimIntercept::HangUp;
    if (silentAfter_ && request > silentAfter_) return SimIntercept::Silent;
    if (index == abortIndex_ && sub == abortSub_) return SimIntercept::Abort;
    return SimIntercept::None;
  }

 private:
  int abortIndex_ = -1;
  int abortSub_ = -1;
  unsigned silentAfter_ = 0;
  unsigned hangUpAfter_ = 0;
  unsigned exitAfter_ = 0;
};

SimFaults faults;
const bool registered = SimRegisterBehaviour(&faults);

}  // namespace
