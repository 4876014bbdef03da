#include "objects/OBJDIR.h"

#include <cstring>

#include "scope/ScopeTrace.h"

namespace {

// Width of a write request by its command specifier; 0 read; -1 unknown.
int RequestWidth(uint8_t specifier) {
  switch (specifier) {
    case 0x2F: return 1;
    case 0x2B: return 2;
    case 0x27: return 3;
    case 0x23: return 4;
    case 0x40: return 0;
    default: return -1;
  }
}

// The variable (or element) a row addresses, read and written in the
// variable's own width; a wider variable keeps its bits above the row's width.
uint32_t Load(const ObjDirRow& row, int element) {
  const int varWidth = row.ubVarWidth ? row.ubVarWidth : row.ubWidth;
  const auto* p = static_cast<const uint8_t*>(row.pVar) + element * varWidth;
  switch (varWidth) {
    case 1: return *p;
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
  }
}

void Store(const ObjDirRow& row, int element, uint32_t value) {
  const int varWidth = row.ubVarWidth ? row.ubVarWidth : row.ubWidth;
  auto* p = static_cast<uint8_t*>(row.pVar) + element * varWidth;
  if (varWidth > row.ubWidth) {
    const uint32_t mask = (1u << (8 * row.ubWidth)) - 1;
    value = (Load(row, element) & ~mask) | (value & mask);
  }
  switch (varWidth) {
    case 1: *p = static_cast<uint8_t>(value); break;
    case 2: { const auto v = static_cast<uint16_t>(value); std::memcpy(p, &v, 2); break; }
    default: std::memcpy(p, &value, 4); break;
  }
}

int32_t Refuse(uint8_t* payload, int32_t code) {
  payload[0] = OBJDIR_ANSWER_REFUSED;
  return code;
}

}  // namespace

int32_t ObjdirHandler(const ObjDirRow* table, uint8_t* payload) {
  const int width = RequestWidth(payload[0]);
  if (width < 0) return Refuse(payload, OBJDIR_ERR_COMMAND);
  const uint16_t index = static_cast<uint16_t>(payload[1] | payload[2] << 8);
  const uint8_t subIndex = payload[3];

  const ObjDirRow* row = table;
  while (row->pVar && row->uwObjIndex != index) ++row;
  if (!row->pVar) return Refuse(payload, OBJDIR_ERR_NO_OBJECT);

  int element = 0;
  if (subIndex != 0) {
    if (!(row->ubAccess & OBJDIR_ARRAY)) return Refuse(payload, OBJDIR_ERR_NOT_ARRAY);
    const ObjDirRow* elements = row + 1;
    // The count may say more than the element storage holds: both bound.
    if (!elements->pVar || elements->uwObjIndex != index || subIndex > *static_cast<const uint8_t*>(row->pVar) ||
        subIndex > elements->ubElements)
      return Refuse(payload, OBJDIR_ERR_SUB_INDEX);
    row = elements;
    element = subIndex - 1;
  }

  if (width > 0) {
    if (!(row->ubAccess & OBJDIR_WRITE)) return Refuse(payload, OBJDIR_ERR_NOT_WRITABLE);
    if (row->ubWidth != width || width == 3) return Refuse(payload, OBJDIR_ERR_WIDTH);
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | payload[4 + i];
    Store(*row, element, value);
    payload[0] = OBJDIR_ANSWER_WRITTEN;
    return (row->ubAccess & OBJDIR_NOTIFY) ? 1 : 0;
  }

  if (!(row->ubAccess & OBJDIR_READ)) return Refuse(payload, OBJDIR_ERR_NOT_READABLE);
  uint8_t answer;
  switch (row->ubWidth) {
    case 1: answer = OBJDIR_ANSWER_READ_1; break;
    case 2: answer = OBJDIR_ANSWER_READ_2; break;
    case 4: answer = OBJDIR_ANSWER_READ_4; break;
    default: return Refuse(payload, OBJDIR_ERR_BAD_WIDTH);
  }
  const uint32_t value = Load(*row, element);
  for (int i = 0; i < row->ubWidth; ++i) payload[4 + i] = static_cast<uint8_t>(value >> (8 * i));
  payload[0] = answer;
  return 0;
}

// --- The tool's directory ----------------------------------------------------------

namespace {

// Header arrays of the controller that the trace variables do not hold, each
// with storage of its count; the counts never change (their rows are read-only).
uint32_t udCounters[9];        // 0x2107 operating counters
uint32_t udAnaScale[0x12];     // 0x2318 analog scaling (0x10..0x12: pressures at 20 mA)
uint32_t udRc7Data[8];         // 0x2503 controller data (8: temperature)
uint32_t udTimer1[3];          // 0x2602 timer 1
uint32_t udTimer2[4];          // 0x2603 timer 2
uint32_t udMotor[25];          // 0x2604 motor controller
uint32_t udMotorErr[15];       // 0x260A motor controller at the last error
uint32_t udTraces[4];          // 0x2A00 trace statuses, second trace geometry
uint16_t uwMcErrState;         // 0x2601 machine-cycle error state
uint8_t ubCount2107 = 9, ubCount2318 = 0x12, ubCount2503 = 8, ubCount2602 = 3, ubCount2603 = 4,
        ubCount2604 = 25, ubCount260A = 15, ubCount2A00 = 4;

constexpr uint8_t RW = OBJDIR_READ | OBJDIR_WRITE;
constexpr uint8_t COUNT = OBJDIR_READ | OBJDIR_ARRAY;

template <size_t N>
constexpr uint8_t Elements(const uint32_t (&)[N]) {
  return static_cast<uint8_t>(N);
}

}  // namespace

#define OBJDIR_WORD(index, var) {index, RW, 2, &(var), 0, 0}
#define OBJDIR_ARRAY_ROWS(index, count, array) \
  {index, COUNT, 1, &(count), 0, 0}, {index, RW, 4, array, 0, Elements(array)}

const ObjDirRow ObjDir[] = {
    OBJDIR_WORD(0x2002, uwScopeRampos),
    OBJDIR_WORD(0x2004, uwScopeStatus0),
    OBJDIR_WORD(0x2005, stRC6Kvo[5]),  // the same word as 0x2286
    OBJDIR_WORD(0x2008, stRC6Kvo[0]),
    OBJDIR_WORD(0x2009, stRC6Kvo[1]),
    OBJDIR_WORD(0x200A, stRC6Kvo[4]),
    OBJDIR_WORD(0x200B, stRC6Kvo[24]),
    OBJDIR_WORD(0x200C, stRC6Kvo[2]),
    OBJDIR_WORD(0x200D, stRC6Kvo[17]),
    OBJDIR_WORD(0x200E, stRC6Kvo[3]),
    {0x200F, RW, 2, &udScopeFwVersion, 4, 0},  // the low 16 bits
    OBJDIR_WORD(0x2101, uwScopeLmsResol),
    OBJDIR_WORD(0x2102, scScope.trace[0].uwSampleTime),
    OBJDIR_WORD(0x2103, uwScopeMode0),
    OBJDIR_WORD(0x2106, uwScopeRamtype),
    OBJDIR_ARRAY_ROWS(0x2107, ubCount2107, udCounters),
    OBJDIR_WORD(0x210C, scScope.trace[0].uwFrameLength),
    OBJDIR_WORD(0x210D, scScope.trace[0].uwFramesPerBlock),
    OBJDIR_WORD(0x210F, uwScopeMode1),
    OBJDIR_WORD(0x2115, scScope.trace[0].uwFrames),
    OBJDIR_WORD(0x2118, scScope.trace[0].uwPostTrg),
    {0x2119, RW, 4, &udScopeStatus1, 0, 0},
    OBJDIR_WORD(0x2286, stRC6Kvo[5]),
    OBJDIR_WORD(0x2287, stRC6Kvo[6]),
    OBJDIR_WORD(0x2288, stRC6Kvo[7]),
    OBJDIR_WORD(0x2291, stRC6Kvo[8]),
    OBJDIR_WORD(0x2292, stRC6Kvo[9]),
    OBJDIR_WORD(0x2293, stRC6Kvo[10]),
    OBJDIR_WORD(0x2294, stRC6Kvo[11]),
    OBJDIR_WORD(0x2295, stRC6Kvo[12]),
    OBJDIR_WORD(0x2296, stRC6Kvo[13]),
    OBJDIR_WORD(0x2297, stRC6Kvo[14]),
    OBJDIR_WORD(0x2298, stRC6Kvo[15]),
    OBJDIR_WORD(0x22A1, stRC6Kvo[16]),
    OBJDIR_WORD(0x22A3, stRC6Kvo[18]),
    OBJDIR_WORD(0x22A4, stRC6Kvo[19]),
    OBJDIR_WORD(0x22A5, stRC6Kvo[20]),
    OBJDIR_WORD(0x22A6, stRC6Kvo[21]),
    OBJDIR_WORD(0x22A7, stRC6Kvo[22]),
    OBJDIR_WORD(0x22A8, stRC6Kvo[23]),
    OBJDIR_WORD(0x22B1, uwScopeMotpos),
    OBJDIR_WORD(0x22B3, uwScopeMotResol),
    OBJDIR_ARRAY_ROWS(0x2318, ubCount2318, udAnaScale),
    OBJDIR_ARRAY_ROWS(0x2503, ubCount2503, udRc7Data),
    OBJDIR_WORD(0x2601, uwMcErrState),
    OBJDIR_ARRAY_ROWS(0x2602, ubCount2602, udTimer1),
    OBJDIR_ARRAY_ROWS(0x2603, ubCount2603, udTimer2),
    OBJDIR_ARRAY_ROWS(0x2604, ubCount2604, udMotor),
    OBJDIR_ARRAY_ROWS(0x260A, ubCount260A, udMotorErr),
    OBJDIR_ARRAY_ROWS(0x2A00, ubCount2A00, udTraces),
    {0, 0, 0, nullptr, 0, 0},
};
static_assert(sizeof ObjDir / sizeof ObjDir[0] == OBJDIR_ROWS + 1);

#undef OBJDIR_WORD
#undef OBJDIR_ARRAY_ROWS

void ObjdirClearHeader() {
  std::memset(udCounters, 0, sizeof udCounters);
  std::memset(udAnaScale, 0, sizeof udAnaScale);
  std::memset(udRc7Data, 0, sizeof udRc7Data);
  std::memset(udTimer1, 0, sizeof udTimer1);
  std::memset(udTimer2, 0, sizeof udTimer2);
  std::memset(udMotor, 0, sizeof udMotor);
  std::memset(udMotorErr, 0, sizeof udMotorErr);
  std::memset(udTraces, 0, sizeof udTraces);
  uwMcErrState = 0;
}

uint32_t ObjdirRead(uint16_t index, uint8_t subIndex) {
  uint8_t payload[8] = {0x40, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), subIndex, 0, 0, 0, 0};
  if (ObjdirHandler(ObjDir, payload) < 0) return 0;
  return static_cast<uint32_t>(payload[4] | payload[5] << 8 | payload[6] << 16) | static_cast<uint32_t>(payload[7]) << 24;
}
