// The tool's object directory: recorded SDO requests applied to the trace
// variables, answered in place; refusals, array bounds and shared words.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "objects/OBJDIR.h"
#include "scope/ScopeTrace.h"

namespace {

using Payload = std::array<uint8_t, 8>;

struct Answer {
  int32_t result;
  Payload payload;
};

Answer Apply(const ObjDirRow* table, Payload p) {
  const int32_t r = ObjdirHandler(table, p.data());
  return {r, p};
}

Payload Write4(uint16_t index, uint8_t sub, uint32_t v) {
  return {0x23, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), sub, static_cast<uint8_t>(v),
          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
}

Payload Read(uint16_t index, uint8_t sub) {
  return {0x40, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), sub, 0xAA, 0xBB, 0xCC, 0xDD};
}

class ObjdirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uwScopeRampos = 0;
    udScopeFwVersion = 0;
    for (auto& w : stRC6Kvo) w = 0;
    ObjdirClearHeader();
  }
};

TEST_F(ObjdirTest, AnswersAsTheControllerWould) {
  const struct {
    const char* what;
    Payload request;
    int32_t result;
    Payload answer;
  } cases[] = {
      {"2-byte write", {0x2B, 0x02, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00}, 0,
       {0x60, 0x02, 0x20, 0x00, 0x34, 0x12, 0x00, 0x00}},
      {"read back", {0x40, 0x02, 0x20, 0x00, 0, 0, 0x77, 0x88}, 0, {0x4B, 0x02, 0x20, 0x00, 0x34, 0x12, 0x77, 0x88}},
      {"1-byte write to a 2-byte object", {0x2F, 0x02, 0x20, 0x00, 0x55, 0, 0, 0}, OBJDIR_ERR_WIDTH,
       {0x80, 0x02, 0x20, 0x00, 0x55, 0, 0, 0}},
      {"3-byte write", {0x27, 0x02, 0x20, 0x00, 1, 2, 3, 0}, OBJDIR_ERR_WIDTH, {0x80, 0x02, 0x20, 0x00, 1, 2, 3, 0}},
      {"response specifier as request", {0x43, 0x02, 0x20, 0x00, 0, 0, 0, 0}, OBJDIR_ERR_COMMAND,
       {0x80, 0x02, 0x20, 0x00, 0, 0, 0, 0}},
      {"unknown object", {0x40, 0x34, 0x12, 0x00, 0, 0, 0, 0}, OBJDIR_ERR_NO_OBJECT, {0x80, 0x34, 0x12, 0, 0, 0, 0, 0}},
      {"count row is read-only", Write4(0x2107, 0, 3), OBJDIR_ERR_NOT_WRITABLE, {}},
      {"sub-index on a plain object", Read(0x2002, 1), OBJDIR_ERR_NOT_ARRAY, {}},
      {"array count", Read(0x2107, 0), 0, {0x4F, 0x07, 0x21, 0x00, 9, 0xBB, 0xCC, 0xDD}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Answer a = Apply(ObjDir, c.request);
    EXPECT_EQ(a.result, c.result);
    if (c.answer != Payload{}) {
      EXPECT_EQ(a.payload, c.answer);
    }
    if (c.result < 0) {
      EXPECT_EQ(a.payload[0], OBJDIR_ANSWER_REFUSED);
    }
  }
  EXPECT_EQ(uwScopeRampos, 0x1234);  // the refused writes left it alone
}

TEST_F(ObjdirTest, EveryArrayHoldsItsCountAndNoMore) {
  const struct {
    uint16_t index;
    uint8_t count;
  } arrays[] = {{0x2107, 9}, {0x2318, 0x12}, {0x2503, 8}, {0x2602, 3},
                {0x2603, 4}, {0x2604, 25},   {0x260A, 15}, {0x2A00, 4}};
  for (const auto& a : arrays) {
    SCOPED_TRACE(a.index);
    EXPECT_EQ(Apply(ObjDir, Read(a.index, 0)).payload[4], a.count);
    EXPECT_EQ(Apply(ObjDir, Write4(a.index, 1, 0x11111111)).result, 0);
    EXPECT_EQ(Apply(ObjDir, Write4(a.index, a.count, 0xCAFE0000u + a.count)).result, 0);
    EXPECT_EQ(ObjdirRead(a.index, a.count), 0xCAFE0000u + a.count);
    EXPECT_EQ(ObjdirRead(a.index, 1), 0x11111111u);  // elements stay apart
    const Answer beyond = Apply(ObjDir, Write4(a.index, a.count + 1, 1));
    EXPECT_EQ(beyond.result, OBJDIR_ERR_SUB_INDEX);
    EXPECT_EQ(Apply(ObjDir, Read(a.index, a.count + 1)).result, OBJDIR_ERR_SUB_INDEX);
  }
}

TEST_F(ObjdirTest, SharedWordAndTheLowHalfOfTheFirmwareVersion) {
  EXPECT_EQ(Apply(ObjDir, {0x2B, 0x05, 0x20, 0x00, 0xCD, 0xAB, 0, 0}).result, 0);
  EXPECT_EQ(ObjdirRead(0x2286, 0), 0xABCDu);
  EXPECT_EQ(stRC6Kvo[5], 0xABCD);

  udScopeFwVersion = 0x00EB0009;
  EXPECT_EQ(Apply(ObjDir, {0x2B, 0x0F, 0x20, 0x00, 0x0B, 0x00, 0xFF, 0xFF}).result, 0);
  EXPECT_EQ(udScopeFwVersion, 0x00EB000Bu);
  EXPECT_EQ(ObjdirRead(0x200F, 0), 0x000Bu);
}

TEST_F(ObjdirTest, DirectoryListsEveryObjectOnce) {
  std::set<uint16_t> objects;
  int rows = 0;
  for (const ObjDirRow* r = ObjDir; r->pVar; ++r, ++rows) {
    if (r->ubAccess & OBJDIR_ARRAY) {
      EXPECT_EQ(r[1].uwObjIndex, r->uwObjIndex);
      EXPECT_GE(r[1].ubElements, *static_cast<uint8_t*>(r->pVar)) << r->uwObjIndex;
    }
    objects.insert(r->uwObjIndex);
  }
  EXPECT_EQ(rows, OBJDIR_ROWS);
  EXPECT_EQ(objects.size(), 50u);
}

// Refusals no row of ObjDir can show, and a count that promises more
// elements than the storage holds.
TEST(ObjdirOwnTable, RefusalsOfOddRowsAndAnOverstatedCount) {
  uint16_t hidden = 7, word = 0;
  uint8_t odd[3] = {}, count = 5;
  uint32_t elements[3] = {};
  const ObjDirRow table[] = {
      {0x3000, OBJDIR_WRITE, 2, &hidden, 0, 0},
      {0x3001, OBJDIR_READ | OBJDIR_WRITE, 3, odd, 0, 0},
      {0x3002, OBJDIR_READ | OBJDIR_WRITE | OBJDIR_NOTIFY, 2, &word, 0, 0},
      {0x3003, OBJDIR_READ | OBJDIR_ARRAY, 1, &count, 0, 0},
      {0x3003, OBJDIR_READ | OBJDIR_WRITE, 4, elements, 0, 3},
      {0, 0, 0, nullptr, 0, 0},
  };
  EXPECT_EQ(Apply(table, Read(0x3000, 0)).result, OBJDIR_ERR_NOT_READABLE);
  EXPECT_EQ(Apply(table, Read(0x3001, 0)).result, OBJDIR_ERR_BAD_WIDTH);
  EXPECT_EQ(Apply(table, {0x27, 0x01, 0x30, 0, 1, 2, 3, 0}).result, OBJDIR_ERR_WIDTH);
  EXPECT_EQ(Apply(table, {0x2B, 0x02, 0x30, 0, 9, 0, 0, 0}).result, 1);  // notify
  EXPECT_EQ(word, 9);
  EXPECT_EQ(Apply(table, Write4(0x3003, 3, 42)).result, 0);
  EXPECT_EQ(elements[2], 42u);
  EXPECT_EQ(Apply(table, Write4(0x3003, 4, 1)).result, OBJDIR_ERR_SUB_INDEX);
  EXPECT_EQ(hidden, 7);
}

}  // namespace
