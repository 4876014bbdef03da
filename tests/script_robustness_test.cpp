// Random bytes and random lines of any length through the interpreter and the
// loader: every line gives 0, 1 or 4, nothing crashes, and the container stays
// consistent (run it in the sanitizer build too).
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "objects/ScriptLoader.h"
#include "support/ScriptFixture.h"

namespace {

constexpr uint32_t kTextKinds = SCR_FLAG_DOS | SCR_FLAG_TRACE_SAVE | SCR_FLAG_TRACE_PATH | SCR_FLAG_LOG_SAVE |
                                SCR_FLAG_IF | SCR_FLAG_LOG_PATH | SCR_FLAG_LOG_CREATE | SCR_FLAG_LOG_APPEND;
constexpr uint32_t kCounterKinds =
    SCR_FLAG_COUNTER_SET | SCR_FLAG_COUNTER_DEC | SCR_FLAG_SKIP_ZERO | SCR_FLAG_SKIP_NONZERO;

// Near misses beside the keywords.
const char* const kNotKeywords[] = {"LOG_", "WR", "GOTOX"};

const char* const kWords[] = {
    "0", "1", "3", "9", "10", "11", "-1", "0x", "0x2000", "0xFFFF", "0x10000", "0xFF", "0x100", "65535", "65536",
    "4294967295", "4294967296", "-2147483649", "1OO", "1.0", "-2.5e3", "1e50", "nan", "==", "!=", "<", ">", "=<",
    "ON", "off", "On", ";", ";x", "\t", "$DATE", "/tmp/x", "a;b", "99999999999999999999999"};

class Random {
 public:
  explicit Random(uint32_t seed) : gen_(seed) {}
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(gen_); }
  char Byte() { return static_cast<char>(Below(256)); }
  std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (auto& c : s) c = Byte();
    return s;
  }
  std::string Printable(size_t n) {
    std::string s(n, ' ');
    for (auto& c : s) c = static_cast<char>(0x20 + Below(95));
    return s;
  }
  // A line that looks like a command: a keyword in any case, words from a
  // pool, now and then a long or odd word, random separators.
  std::string CommandLike() {
    std::string line = Below(8) == 0 ? std::string(Below(4), ' ') : "";
    const size_t pick = Below(std::size(kScriptKeywords) + std::size(kNotKeywords));
    std::string keyword = pick < std::size(kScriptKeywords) ? kScriptKeywords[pick].keyword
                                                             : kNotKeywords[pick - std::size(kScriptKeywords)];
    for (auto& c : keyword)
      if (Below(2)) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    line += keyword;
    const size_t words = Below(5) ? Below(4) : Below(14);
    for (size_t i = 0; i < words; ++i) {
      line += Below(3) == 0 ? "\t" : " ";
      switch (Below(20)) {
        case 0: line += Printable(Below(300)); break;
        case 1: line += Bytes(Below(4)); break;
        default: line += kWords[Below(std::size(kWords))]; break;
      }
    }
    return line;
  }
  std::string AnyLine() {
    switch (Below(4)) {
      case 0: return Bytes(Below(600));
      case 1: return Printable(Below(Below(2) ? 300 : 3000));
      default: return CommandLike();
    }
  }

 private:
  std::mt19937 gen_;
};

// What a compiled container must look like whatever the input was.
void ExpectConsistent() {
  const CtrlCmdContainer& c = sScrContainer;
  ASSERT_LE(c.uwNumOfEntries, CTRL_CMD_MAX_ENTRIES);
  uint16_t lastLine = 0;
  for (int i = 0; i < c.uwNumOfEntries; ++i) {
    const CtrlCmdEntry& e = c.entries[i];
    ASSERT_GE(+e.uwLine, lastLine) << i;
    ASSERT_LE(+e.uwLine, c.uwLineCount) << i;
    lastLine = e.uwLine;
    const uint32_t kind = e.udFlags & ~(SCR_FLAG_RF | SCR_FLAG_LOG_OBJECT);
    ASSERT_TRUE((kind & (kind - 1)) == 0) << "one kind per entry, entry " << i;
    if (kind & kTextKinds) {
      ASSERT_NE(+e.pText, nullptr) << i;
      ASSERT_LE(std::strlen(+e.pText), OBJCMD_MAX_LINE) << i;
    } else {
      ASSERT_EQ(+e.pText, nullptr) << i;
    }
    if (kind & kCounterKinds) {
      ASSERT_TRUE(+e.ubCounter >= 1 && +e.ubCounter <= 10) << i;
    }
    if (kind == SCR_FLAG_DLY) {
      ASSERT_LE(+e.udData, 0xFFFFu) << i;
    }
    if (kind == SCR_FLAG_IF) {
      ASSERT_GT(i, 0);
      const std::string op = e.pText;
      ASSERT_TRUE(op == "==" || op == "!=" || op == "<" || op == ">") << op;
    }
    if (kind == SCR_FLAG_GOTO) {
      ASSERT_TRUE(+e.uwLabel >= 1 && +e.uwLabel <= 9) << i;
      ASSERT_LT(c.uwLabelEntry[+e.uwLabel - 1], i);
    }
  }
  for (int i = c.uwNumOfEntries; i < CTRL_CMD_MAX_ENTRIES; ++i) ASSERT_EQ(+c.entries[i].pText, nullptr) << i;
  for (int n = 1; n <= 9; ++n) {
    const uint16_t at = c.uwLabelEntry[n - 1];
    if (at == CTRL_CMD_LABEL_UNDEFINED) continue;
    ASSERT_LT(at, c.uwNumOfEntries);
    ASSERT_EQ(+c.entries[at].udFlags, SCR_FLAG_LABEL);
    ASSERT_EQ(+c.entries[at].uwLabel, n);
  }
}

using RobustnessTest = ScriptFixture;

TEST_F(RobustnessTest, RandomLinesThroughTheInterpreter) {
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Random rnd(seed);
    ObjCmdScriptReset();
    for (int i = 0; i < 6000; ++i) {
      const std::string line = rnd.AnyLine();
      const uint8_t result = Compile(line);
      ASSERT_TRUE(result == OBJCMD_OK || result == OBJCMD_UNKNOWN || result == OBJCMD_REFUSED)
          << int(result) << " for line " << i;
      if (result != OBJCMD_OK) {
        ASSERT_FALSE(reply.empty()) << i;
      }
      if (i % 500 == 499) {
        ExpectConsistent();
        if (HasFatalFailure()) return;
        if (rnd.Below(2)) ObjCmdScriptReset();
      }
    }
    ExpectConsistent();
  }
}

TEST_F(RobustnessTest, RandomFilesThroughTheLoader) {
  char pattern[] = "/tmp/robustXXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  Random rnd(7);
  for (int i = 0; i < 150; ++i) {
    SCOPED_TRACE("file " + std::to_string(i));
    std::string content;
    if (i % 3 == 0) {
      content = rnd.Bytes(rnd.Below(200000));
    } else {
      const size_t lines = rnd.Below(400);
      for (size_t l = 0; l < lines; ++l) content += rnd.AnyLine() + (rnd.Below(2) ? "\n" : "\r\n");
      if (rnd.Below(2) && !content.empty()) content.pop_back();  // no final line end
    }
    std::ofstream(pattern, std::ios::binary | std::ios::trunc) << content;
    const bool stop = rnd.Below(2);
    const uint8_t result = McycleCompileScriptFile(pattern, stop, reply);
    ASSERT_TRUE(result == SCRIPT_LOAD_OK || result == SCRIPT_LOAD_UNKNOWN || result == SCRIPT_LOAD_REFUSED)
        << int(result);
    if (result != SCRIPT_LOAD_OK) {
      ASSERT_EQ(sScrContainer.uwNumOfEntries, 0);
      ASSERT_FALSE(reply.empty());
      if (stop) {
        ASSERT_EQ(reply.find('\n'), std::string::npos) << "one error when stopping at the first";
      }
    }
    ExpectConsistent();
    if (HasFatalFailure()) break;
  }
  std::remove(pattern);
}

TEST_F(RobustnessTest, GeneratedScriptsThatCompileStayWithinTheirLimits) {
  // Command-like lines only, so that many compile and the container fills.
  Random rnd(11);
  int results[5] = {};
  int entries = 0;
  for (int script = 0; script < 20; ++script) {
    ObjCmdScriptReset();
    for (int i = 0; i < 3000; ++i) {
      const uint8_t result = Compile(rnd.CommandLike());
      ASSERT_TRUE(result == OBJCMD_OK || result == OBJCMD_UNKNOWN || result == OBJCMD_REFUSED);
      ++results[result];
    }
    entries += sScrContainer.uwNumOfEntries;
    ExpectConsistent();
    if (HasFatalFailure()) return;
  }
  // The generator reaches every outcome, and compiles enough to fill scripts.
  EXPECT_GT(results[OBJCMD_OK], 1000);
  EXPECT_GT(results[OBJCMD_UNKNOWN], 1000);
  EXPECT_GT(results[OBJCMD_REFUSED], 1000);
  EXPECT_GT(entries, 5000);
}

}  // namespace
