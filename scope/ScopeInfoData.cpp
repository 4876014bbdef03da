#include "scope/ScopeInfoData.h"

#include "engine/Mcycle.h"

CtrlCmdEntry sInfoDataFrame[SCOPE_INFO_ENTRIES];

namespace {

enum Source : uint8_t { kLog, kExt, kZero };

struct InfoSource {
  uint16_t index;
  uint8_t sub;
  Source source;
  uint8_t entry;
};

// Entries 14 and 15 take their values crosswise (log 25 and 24): the trace
// files are laid out on that.
constexpr InfoSource kInfo[SCOPE_INFO_ENTRIES] = {
    {0x2601, 0, kLog, 12},  {0x2503, 8, kLog, 13},  {0x2604, 2, kLog, 17},  {0x2604, 3, kLog, 18},
    {0x2604, 4, kLog, 28},  {0x2604, 5, kLog, 19},  {0x2604, 6, kLog, 15},  {0x2604, 7, kLog, 16},
    {0x2604, 8, kLog, 20},  {0x2604, 9, kLog, 39},  {0x2604, 10, kLog, 40}, {0x2604, 13, kLog, 21},
    {0x2604, 14, kLog, 22}, {0x2604, 15, kLog, 23}, {0x2604, 16, kLog, 25}, {0x2604, 17, kLog, 24},
    {0x2604, 18, kLog, 26}, {0x2604, 19, kLog, 27}, {0x2604, 20, kZero, 0}, {0x2604, 23, kLog, 29},
    {0x2604, 24, kLog, 30}, {0x2604, 25, kLog, 31}, {0x2602, 2, kLog, 32},  {0x2602, 3, kLog, 33},
    {0x2603, 2, kLog, 34},  {0x2603, 3, kLog, 35},  {0x2604, 22, kLog, 38}, {0x260A, 1, kExt, 0},
    {0x260A, 2, kExt, 1},   {0x260A, 3, kExt, 2},   {0x260A, 4, kExt, 3},   {0x260A, 5, kExt, 4},
    {0x260A, 6, kExt, 5},   {0x260A, 7, kExt, 6},   {0x260A, 8, kExt, 7},   {0x260A, 9, kExt, 8},
    {0x260A, 10, kExt, 9},  {0x260A, 11, kExt, 10}, {0x260A, 12, kExt, 11}, {0x260A, 13, kExt, 12},
    {0x260A, 14, kExt, 13}, {0x260A, 15, kExt, 14}, {0x2107, 1, kExt, 15},  {0x2107, 2, kExt, 16},
    {0x2107, 3, kExt, 17},  {0x2107, 4, kExt, 18},  {0x2107, 5, kExt, 19},  {0x2107, 6, kExt, 20},
    {0x2107, 7, kExt, 21},  {0x2107, 8, kExt, 22},  {0x2107, 9, kExt, 23},  {0x211F, 0, kExt, 24},
    {0x22F0, 2, kExt, 25},  {0x22F0, 3, kExt, 26},  {0x260E, 1, kExt, 27},
};

}  // namespace

void ScopeCopyInfoData() {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) return;
  for (int e = 0; e < SCOPE_INFO_ENTRIES; ++e) {
    const InfoSource& s = kInfo[e];
    CtrlCmdEntry& out = sInfoDataFrame[e];
    out = CtrlCmdEntry{};
    out.uwIndex = s.index;
    out.ubSubIndex = s.sub;
    out.ubLength = 4;
    if (s.source == kZero) continue;
    const CtrlCmdEntry& in = (s.source == kLog ? sLogDataContainer : sLogExtDataContainer).entries[s.entry];
    out.ubLength = in.ubLength;
    out.udData = in.udData;
  }
}
