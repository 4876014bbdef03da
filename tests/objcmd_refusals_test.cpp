// Lines that would compile to a wrong, unbounded or hanging entry are refused,
// and numbers are read strictly.
#include <string>

#include "support/ScriptFixture.h"

namespace {

using RefusalTest = ScriptFixture;

struct Refusal {
  const char* line;
  const char* reply;  // "%L": the line number; nullptr: "What ? [line]"
};

// Each is compiled as line 2, after "RD 0x2000 0".
const Refusal kRefusals[] = {
    // IF that could only repeat for ever.
    {"IF =< 1", nullptr},
    {"IF = 1", nullptr},
    {"IF EQ 1", nullptr},
    // Counters outside 1..10.
    {"COUNTER_SET 0 3", "Error line 2: Counter error (< 1 or > 10)"},
    {"COUNTER_SET 11 3", "Error line 2: Counter error (< 1 or > 10)"},
    {"COUNTER_DEC 0", "Error line 2: Counter error (< 1 or > 10)"},
    {"SKIP_ZERO 0x0B", "Error line 2: Counter error (< 1 or > 10)"},
    {"SKIP_NONZERO -1", "Error line 2: Counter error (< 1 or > 10)"},
    {"COUNTER_DEC 1O", nullptr},
    // Number words that are not numbers.
    {"RD 1OO 0", nullptr},
    {"RD 0x 0", nullptr},
    {"RD 0x2000 O", nullptr},
    {"WRW 0x2000 0 12abc", nullptr},
    {"WRD 0x2000 0 4294967296", nullptr},
    {"WRD 0x2000 0 0x100000000", nullptr},
    {"WRD 0x2000 0 -2147483649", nullptr},
    {"WRD 0x2000 0 1e3", nullptr},
    {"COUNTER_SET 1 99999999999999999999", nullptr},
    {"IF == 0xZZ", nullptr},
    {"SCOPE_SAMPLE_TIME fast", nullptr},
    {"WRF 0x2602 1 abc", nullptr},
    {"WRF 0x2602 1 1.0.0", nullptr},
    {"WRF 0x2602 1 1e50", nullptr},
    {"WRF 0x2602 1 nan", nullptr},
    {"WRF 0x2602 1 INF", nullptr},
    {"WRF 0x2602 1 +-1", nullptr},
    // Object addresses that would be truncated to another object.
    {"RD 0x10000 0", nullptr},
    {"RD -1 0", nullptr},
    {"RD 0x2000 0x100", nullptr},
    {"WRB 0x2103 256 1", nullptr},
    {"LOG_OBJECT 70000 0", nullptr},
    {"RF 0x2602 -1", nullptr},
    // Delays that would wrap.
    {"DLY 65536", nullptr},
    {"DLY 70000", nullptr},
    {"DLY -1", nullptr},
    // ON/OFF words.
    {"LOG MAYBE", nullptr},
    {"MODE_EXPERT 1", nullptr},
};

TEST_F(RefusalTest, RefusedLinesMakeNoEntry) {
  for (const Refusal& r : kRefusals) {
    SCOPED_TRACE(r.line);
    ObjCmdScriptReset();
    CompileAll({"RD 0x2000 0"});
    EXPECT_EQ(Compile(r.line), OBJCMD_REFUSED);
    EXPECT_EQ(reply, r.reply ? std::string(r.reply) : "What ? [" + std::string(r.line) + "]");
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(+Entry(1).pText, nullptr);
  }
}

TEST_F(RefusalTest, IfAsFirstEntryIsRefused) {
  EXPECT_EQ(Compile("; nothing to compare with yet"), OBJCMD_OK);
  EXPECT_EQ(Compile("IF == 1"), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "What ? [IF == 1]");
  CompileAll({"RD 0x2000 0", "IF == 1", "IF > 1", "IF < 1", "IF != 1"});
}

TEST_F(RefusalTest, BoundaryValuesAreAccepted) {
  CompileAll({"COUNTER_SET 1 0", "COUNTER_SET 10 0xFFFFFFFF", "DLY 0", "DLY 0xFFFF", "RD 0 0", "RD 0xFFFF 255",
              "WRD 0x2000 0 -2147483648", "WRD 0x2000 0 4294967295", "WRF 0x2602 1 -0.0"});
  EXPECT_EQ(+Entry(1).udArg1, 0xFFFFFFFFu);
  EXPECT_EQ(+Entry(6).udData, 0x80000000u);
  EXPECT_EQ(+Entry(7).udData, 0xFFFFFFFFu);
  EXPECT_EQ(+Entry(8).udData, 0x80000000u);
}

TEST_F(RefusalTest, PathArgumentsUpTo200Characters) {
  const std::string ok(200, 'p');
  const std::string tooLong(201, 'p');
  for (const char* keyword : {"TRACE_PATH ", "LOG_PATH "}) {
    SCOPED_TRACE(keyword);
    EXPECT_EQ(Compile(keyword + tooLong), OBJCMD_REFUSED);
    EXPECT_EQ(reply, "Error: save path to big! (> 200 byte)");
    EXPECT_EQ(Compile(keyword + ok), OBJCMD_OK) << reply;
    EXPECT_EQ(std::string(Entry(Entries() - 1).pText), ok);
  }
}

TEST_F(RefusalTest, LinesLongerThan255CharactersAreRefused) {
  const std::string comment255 = ";" + std::string(254, 'c');
  EXPECT_EQ(Compile(comment255), OBJCMD_OK);
  const std::string read256 = "RD 0x2000 0" + std::string(245, ' ');
  ASSERT_EQ(read256.size(), 256u);
  EXPECT_EQ(Compile(read256), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error line 2: line longer than 255 characters");
  EXPECT_EQ(Compile(std::string(100000, 'x')), OBJCMD_REFUSED);
  EXPECT_EQ(reply, "Error line 3: line longer than 255 characters");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(RefusalTest, ControlCharactersAndNulAreRefused) {
  for (std::string line : {std::string("RD 0x2000\x01 0"), std::string("RD 0x2000 0\0", 12),
                           std::string("RD 0x2000\r0"), std::string("\x1b[2J"), std::string("; \x7f")}) {
    EXPECT_EQ(Compile(line), OBJCMD_REFUSED);
    EXPECT_EQ(reply, "Error line " + std::to_string(sScrContainer.uwLineCount) + ": binary content");
  }
  // Bytes above 0x7F are text (a comment in another language, a file name).
  CompileAll({"; Pr\xc3\xbc" "fung", "LOG_CREATE Pr\xc3\xbc" "fung"});
  EXPECT_EQ(Entries(), 1);
}

struct NumberCase {
  const char* word;
  bool valid;
  int32_t value;
};

const NumberCase kNumbers[] = {
    {"0", true, 0},
    {"-0", true, 0},
    {"+12", true, 12},
    {"-12", true, -12},
    {"4660", true, 4660},
    {"0x1234", true, 0x1234},
    {"0X1f", true, 0x1F},
    {"0xabcdef", true, 0xABCDEF},
    {"0x00000000001", true, 1},
    {"0x7FFFFFFF", true, 0x7FFFFFFF},
    {"0xFFFFFFFF", true, -1},
    {"2147483648", true, INT32_MIN},
    {"4294967295", true, -1},
    {"-2147483648", true, INT32_MIN},
    {"007", true, 7},
    {"", false, 0},
    {"0x", false, 0},
    {"0X", false, 0},
    {"1OO", false, 0},
    {"0x1G", false, 0},
    {"0x-1", false, 0},
    {"-0x10", false, 0},
    {"--1", false, 0},
    {"+-1", false, 0},
    {"-", false, 0},
    {"+", false, 0},
    {"1.5", false, 0},
    {"1e3", false, 0},
    {"4294967296", false, 0},
    {"-2147483649", false, 0},
    {"0x100000000", false, 0},
    {"99999999999999999999999", false, 0},
    {" 1", false, 0},
    {"x10", false, 0},
};

TEST(StringToNumber, DecimalAndHexadecimalOnly) {
  for (const NumberCase& c : kNumbers) {
    SCOPED_TRACE(c.word);
    bool valid = !c.valid;
    EXPECT_EQ(ObjCmdStringToNumber(c.word, &valid), c.value);
    EXPECT_EQ(valid, c.valid);
  }
  EXPECT_EQ(ObjCmdStringToNumber("0x10"), 16);
  EXPECT_EQ(ObjCmdStringToNumber(nullptr), 0);
}

}  // namespace
