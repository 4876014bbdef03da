// The controller's memory behind the window of object 0x2319: sub-index 5
// (mode), 6 (address), 7 (block length), 8 (status: bit 2 done, bit 1
// error), 9 to 12 (data words). The command object takes 0x2002 (write one
// block at the address), 0x2003 (read one block) and 0x2004 (erase the macro
// memory); a block command advances the address by the length. Macro memory
// is 8192 bytes at 0x400; the Ethernet configuration block (20 bytes) lies
// at 0 and takes a write only when its check words fit. 0x22F0/3 and /2 give
// the length and CRC-32 of a valid image in macro memory, 0 otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "comm/CRC32.h"
#include "sim/SimBehaviour.h"
#include "sim/SimLinks.h"

namespace {

constexpr uint16_t kWindow = 0x2319;
constexpr uint16_t kCommandObject = 0x2000;
constexpr uint16_t kInfoObject = 0x22F0;
constexpr uint32_t kWrite = 0x2002, kRead = 0x2003, kErase = 0x2004;
constexpr uint32_t kDone = 0x04, kError = 0x02;
constexpr uint32_t kMacroBase = 0x400, kMacroSize = 8192;
constexpr uint32_t kEthBase = 0, kEthSize = 20;
constexpr uint32_t kMaxBlock = 16;

uint32_t Word(const uint8_t* p) {
  return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void PutWord(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool ParseU32(const std::string& text, uint32_t& value) {
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (text.empty() || !end || *end != '\0' || v > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

class SimMemory : public SimBehaviour {
 public:
  SimMemory() : macro_(kMacroSize, 0xFF) {
    // 192.168.0.100 and a locally administered MAC address.
    const uint32_t ip = 0xC0A80064, low = 0x00000002, high = 0x00000100;
    const uint32_t words[5] = {ip, ~ip, low, high, ~(low ^ high)};
    for (int i = 0; i < 5; ++i) PutWord(eth_ + 4 * i, words[i]);
    std::memcpy(staged_, eth_, kEthSize);
  }

  const char* Usage() const override {
    return "  --mem-status MODE    block commands report: error (status bit 1), never (no\n"
           "                       done), slow:MS (done MS after the command)\n"
           "  --erase-ms MS        time the erase takes (default 300)\n"
           "  --eth-corrupt N      a read of the Ethernet block spoils check word N (1 or 4)\n"
           "  --macro-length N     0x22F0/3 reports N whatever the macro memory holds\n"
           "  --macro-image FILE   macro memory starts with the file's bytes (at most 8192)\n";
  }

  bool Option(const std::string& name, const std::string& value, bool& ok) override {
    uint32_t n = 0;
    if (name == "--mem-status") {
      ok = true;
      if (value == "error") statusMode_ = Mode::Error;
      else if (value == "never") statusMode_ = Mode::Never;
      else if (value.rfind("slow:", 0) == 0 && ParseU32(value.substr(5), n)) statusMode_ = Mode::Slow, slowMs_ = n;
      else ok = false;
      return true;
    }
    if (name == "--erase-ms") {
      ok = ParseU32(value, n);
      eraseMs_ = n;
      return true;
    }
    if (name == "--eth-corrupt") {
      ok = ParseU32(value, n) && (n == 1 || n == 4);
      corruptWord_ = static_cast<int>(n);
      return true;
    }
    if (name == "--macro-image") {
      std::FILE* f = std::fopen(value.c_str(), "rb");
      ok = f != nullptr;
      if (f) {
        ok = std::fread(macro_.data(), 1, macro_.size(), f) > 0;
        std::fclose(f);
      }
      return true;
    }
    if (name == "--macro-length") {
      ok = ParseU32(value, n);
      lengthOverride_ = n;
      lengthOverridden_ = true;
      return true;
    }
    return false;
  }

  bool Read(SimController&, uint16_t index, uint8_t sub, uint32_t& value, uint8_t& width) override {
    width = 4;
    if (index == kInfoObject && (sub == 2 || sub == 3)) {
      uint32_t length = 0, crc = 0;
      ValidImage(length, crc);
      if (sub == 3 && lengthOverridden_) length = lengthOverride_;
      value = sub == 3 ? length : crc;
      return true;
    }
    if (index != kWindow) return false;
    switch (sub) {
      case 5: value = mode_; return true;
      case 6: value = address_; return true;
      case 7: value = length_; return true;
      case 8: value = Status(); return true;
      case 9: case 10: case 11: case 12: value = data_[sub - 9]; return true;
      default: return false;
    }
  }

  bool Write(SimController&, uint16_t index, uint8_t sub, uint32_t value, bool& accepted) override {
    accepted = true;
    if (index == kCommandObject && sub == 0) return Command(value);
    if (index != kWindow) return false;
    switch (sub) {
      case 5: mode_ = value; return true;
      case 6: address_ = value; return true;
      case 7: length_ = value; return true;
      case 9: case 10: case 11: case 12: data_[sub - 9] = value; return true;
      default: accepted = false; return true;  // the status word is read-only
    }
  }

 private:
  enum class Mode { Normal, Error, Never, Slow };

  uint32_t Status() const {
    if (failed_) return kError;
    if (statusMode_ == Mode::Never) return 0;
    return SimNowMs() >= doneAtMs_ ? kDone : 0;
  }

  // Starts a command's status: done now, later, never or with an error.
  void Begin(bool ok, int64_t takesMs) {
    failed_ = !ok || statusMode_ == Mode::Error;
    doneAtMs_ = SimNowMs() + takesMs + (statusMode_ == Mode::Slow ? slowMs_ : 0);
  }

  // The bytes of [address, address + length) in one of the two areas.
  uint8_t* Area(uint32_t address, uint32_t length, bool& ethernet) {
    if (length == 0 || length > kMaxBlock) return nullptr;
    ethernet = address < kEthBase + kEthSize && address + length <= kEthBase + kEthSize;
    if (ethernet) return eth_ + (address - kEthBase);
    if (address >= kMacroBase && address - kMacroBase + length <= kMacroSize) return macro_.data() + (address - kMacroBase);
    return nullptr;
  }

  bool Command(uint32_t code) {
    if (code == kErase) {
      std::memset(macro_.data(), 0xFF, macro_.size());
      Begin(true, eraseMs_);
      return true;
    }
    if (code != kWrite && code != kRead) return false;
    bool ethernet = false;
    uint8_t block[kMaxBlock] = {};
    uint8_t* at = Area(address_, length_, ethernet);
    if (at && code == kWrite) {
      for (int i = 0; i < 4; ++i) PutWord(block + 4 * i, data_[i]);
      if (ethernet) {
        std::memcpy(staged_ + (address_ - kEthBase), block, length_);
        at = ethernet && !StagedChecksFit(address_ + length_) ? nullptr : at;
      } else {
        std::memcpy(at, block, length_);
      }
    } else if (at) {
      std::memcpy(block, at, length_);
      if (ethernet && corruptWord_) {
        const uint32_t spoilt = 4 * static_cast<uint32_t>(corruptWord_);
        if (spoilt >= address_ && spoilt < address_ + length_) block[spoilt - address_] ^= 0x01;
      }
      for (int i = 0; i < 4; ++i) data_[i] = Word(block + 4 * i);
    }
    if (at) address_ += length_;
    Begin(at != nullptr, 0);
    return true;
  }

  // After a write of the staged Ethernet block up to byte `end`: the check
  // words written so far must fit; the block takes effect when complete.
  bool StagedChecksFit(uint32_t end) {
    const uint32_t w[5] = {Word(staged_), Word(staged_ + 4), Word(staged_ + 8), Word(staged_ + 12), Word(staged_ + 16)};
    bool fit = true;
    if (end >= 8) fit = w[1] == ~w[0];
    if (fit && end >= kEthSize) fit = w[4] == ~(w[2] ^ w[3]);
    if (!fit) std::memcpy(staged_, eth_, kEthSize);
    else if (end >= kEthSize) std::memcpy(eth_, staged_, kEthSize);
    return fit;
  }

  void ValidImage(uint32_t& length, uint32_t& crc) const {
    length = crc = 0;
    const uint32_t size = Word(macro_.data() + 4), stored = Word(macro_.data());
    if (size < 8 || size > kMacroSize) return;
    if (CRC32calculationS(macro_.data() + 4, size - 4) != stored) return;
    length = size;
    crc = stored;
  }

  std::vector<uint8_t> macro_;
  uint8_t eth_[kEthSize] = {};
  uint8_t staged_[kEthSize] = {};
  uint32_t mode_ = 0, address_ = 0, length_ = 0, data_[4] = {};
  bool failed_ = false;
  int64_t doneAtMs_ = 0;
  Mode statusMode_ = Mode::Normal;
  uint32_t slowMs_ = 0, eraseMs_ = 300;
  int corruptWord_ = 0;
  uint32_t lengthOverride_ = 0;
  bool lengthOverridden_ = false;
};

SimMemory memory;
const bool registered = SimRegisterBehaviour(&memory);

}  // namespace
