#include "scope/ScopeFileHeader.h"

#include <cstdio>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "engine/McycleVariant.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeFileText.h"
#include "scope/ScopeInfoData.h"
#include "scope/ScopeNames.h"
#include "scope/ScopeTrace.h"

namespace {

// Info text columns of the two tables.
constexpr int kColumnA = 12;
constexpr int kColumnB = 26;
constexpr int kColumnGeometry = 20;

// --- Table A ------------------------------------------------------------------

struct RowA {
  const char* key;
  void* var;
  uint8_t width;  // 2 or 4
  bool hex;       // "0x%04X" (else "%5d")
};

// The 25 parameter words under their keys, in word order.
constexpr const char* kKvoKeys[SCOPE_KVO_WORDS] = {
    "POS1",  "POS2",  "POS3",  "POS4",  "POS5",  "POS6",  "POS7",  "POS8",  "SPD1",
    "SPD2",  "SPD3",  "SPD4",  "SPD5",  "SPD6",  "SPD7",  "SPD8",  "TIME1", "TIME2",
    "TIME3", "TIME4", "TIME5", "TIME6", "TIME7", "TIME8", "RDYWIN"};

const RowA kTableA[] = {
    {"STATUS0", &uwScopeStatus0, 2, true},  {"STATUS1", &udScopeStatus1, 4, true},
    {"MODE0", &uwScopeMode0, 2, true},      {"MODE1", &uwScopeMode1, 2, true},
    {"RAMPOS", &uwScopeRampos, 2, false},   {"MOTPOS", &uwScopeMotpos, 2, false},
    {"LMSRESOL", &uwScopeLmsResol, 2, false}, {"MOTRESOL", &uwScopeMotResol, 2, false},
};

uint32_t LoadA(const RowA& r) {
  return r.width == 2 ? *static_cast<uint16_t*>(r.var) : *static_cast<uint32_t*>(r.var);
}

void StoreA(const RowA& r, uint32_t v) {
  if (r.width == 2)
    *static_cast<uint16_t*>(r.var) = static_cast<uint16_t>(v);
  else
    *static_cast<uint32_t*>(r.var) = v;
}

// --- Table B ------------------------------------------------------------------

enum class Kind : uint8_t {
  Hex4,   // "0x%04X"
  Hex8,   // "0x%08X"
  Dec3,   // "%3d"
  Count,  // "%3d" in the file, "%4d" in the info text
  Dec4,   // "%4d"
  Dec,    // "%d"
  Volt,   // mV written as V, "%3.2f"
  Temp,   // 0.1 °C written as °C, "%3.2f"
  Rev,    // "P%04d-%02d" of the high and low 16 bits
  Bar,    // a scope-data entry in 1/100 bar, written in bar
  Const,  // a fixed value, not read
  Text,   // a fixed line, not read
};

enum class Store : uint8_t {
  Log,      // sLogDataContainer entry
  LogFile,  // sLogDataContainer entry ubFileEntry + n
  Ext,      // sLogExtDataContainer entry
  Scope,    // sScopeDataContainer entry
  None,
};

struct RowB {
  const char* key;  // Text: the whole line
  Kind kind;
  int8_t info;      // sInfoDataFrame entry written (-1 none)
  Store store;
  uint8_t entry;
  bool blankAfter;  // an empty line follows
};

const RowB kTableB[] = {
    {"RC7_MC_ERR_STATE", Kind::Hex4, 0, Store::LogFile, 0, false},
    {"RC7_TEMP [C]", Kind::Dec3, 1, Store::LogFile, 1, false},
    {"RC7_APP_CRC", Kind::Hex8, 54, Store::Ext, 27, true},
    {"CNT_HOURS", Kind::Count, 42, Store::Ext, 15, false},
    {"CNT_HOME", Kind::Count, 43, Store::Ext, 16, false},
    {"CNT_PUNCH", Kind::Count, 44, Store::Ext, 17, false},
    {"CNT_FORM", Kind::Count, 45, Store::Ext, 18, false},
    {"CNT_PRESS", Kind::Count, 46, Store::Ext, 19, false},
    {"CNT_HOVER", Kind::Count, 47, Store::Ext, 20, false},
    {"CNT_SEEK_POS1", Kind::Count, 48, Store::Ext, 21, false},
    {"CNT_SEEK_POS2", Kind::Count, 49, Store::Ext, 22, false},
    {"CNT_MARK", Kind::Count, 50, Store::Ext, 23, false},
    {"SOFT_MODE_SPEED", Kind::Dec3, 51, Store::Ext, 24, false},
    {"MACRO_CRC", Kind::Hex8, 52, Store::Ext, 25, false},
    {"MACRO_LENGTH", Kind::Dec4, 53, Store::Ext, 26, true},
    {"MOTOR_FW_REV", Kind::Rev, 6, Store::Log, 15, false},
    {"MOTOR_BOOT_REV", Kind::Rev, 7, Store::Log, 16, false},
    {"MOTOR_STATUS0", Kind::Hex8, 2, Store::Log, 17, false},
    {"MOTOR_STATUS1", Kind::Hex8, 3, Store::Log, 18, false},
    {"MOTOR_STATUS2", Kind::Hex8, 4, Store::Log, 28, false},
    {"MOTOR_MC_STATE", Kind::Hex4, 5, Store::Log, 19, false},
    {"MOTOR_MC_ERR_STATE", Kind::Hex4, 8, Store::Log, 20, false},
    {"MOTOR_RIU_OFFSET", Kind::Dec3, 9, Store::Log, 39, false},
    {"MOTOR_MOT_OFFSET", Kind::Dec3, 10, Store::Log, 40, false},
    {"MOTOR_UZK [V]", Kind::Volt, 11, Store::Log, 21, false},
    {"MOTOR_UZK_LOW [V]", Kind::Volt, 12, Store::Log, 22, false},
    {"MOTOR_UZK_HIGH [V]", Kind::Volt, 13, Store::Log, 23, false},
    {"MOTOR_BRAKE_VOLTAGE [V]", Kind::Volt, 16, Store::Log, 26, false},
    {"MOTOR_RESOL", Kind::Dec3, 17, Store::Log, 27, false},
    {"MOTOR_CPU_TEMP [C]", Kind::Temp, 14, Store::Log, 25, false},
    {"MOTOR_BOARD_TEMP [C]", Kind::Temp, 15, Store::Log, 24, false},
    {"MOTOR_CURRENT_PH_A", Kind::Dec, 19, Store::Log, 29, false},
    {"MOTOR_CURRENT_PH_B", Kind::Dec, 20, Store::Log, 30, false},
    {"MOTOR_CURRENT_PH_C", Kind::Dec, 21, Store::Log, 31, false},
    {"MOTOR_I2T", Kind::Dec, 26, Store::Log, 38, false},
    {"TIMER1_MAX (0,5 ms)", Kind::Dec3, 22, Store::Log, 32, false},
    {"TIMER1_MIN (0,5 ms)", Kind::Dec3, 23, Store::Log, 33, false},
    {"TIMER2_MAX (1 ms)", Kind::Dec3, 24, Store::Log, 34, false},
    {"TIMER2_MIN (1 ms)", Kind::Dec3, 25, Store::Log, 35, false},
    {"Analog scaling:", Kind::Text, -1, Store::None, 0, false},
    {" 4 mA: 191", Kind::Text, -1, Store::None, 0, false},
    {"20 mA: 956", Kind::Text, -1, Store::None, 0, false},
    {"ANA0 @ 20 mA [Bar]", Kind::Bar, -1, Store::Scope, 7, false},
    {"ANA1 @ 20 mA [Bar]", Kind::Bar, -1, Store::Scope, 8, false},
    {"ANA2 @ 20 mA [Bar]", Kind::Bar, -1, Store::Scope, 9, false},
    {"ANA3 @ 20 mA [Bar]", Kind::Const, -1, Store::None, 0, true},
    {"MOTOR_ERR_STATUS1", Kind::Hex8, 27, Store::Ext, 0, false},
    {"MOTOR_ERR_STATUS2", Kind::Hex8, 28, Store::Ext, 1, false},
    {"MOTOR_ERR_RIU_OFFSET", Kind::Dec3, 29, Store::Ext, 2, false},
    {"MOTOR_ERR_MOT_OFFSET", Kind::Dec3, 30, Store::Ext, 3, false},
    {"MOTOR_ERR_UZK [V]", Kind::Volt, 31, Store::Ext, 4, false},
    {"MOTOR_ERR_UZK_LOW [V]", Kind::Volt, 32, Store::Ext, 5, false},
    {"MOTOR_ERR_UZK_HIGH [V]", Kind::Volt, 33, Store::Ext, 6, false},
    {"MOTOR_ERR_BRAKE_VOLT [V]", Kind::Volt, 36, Store::Ext, 9, false},
    {"MOTOR_ERR_CPU_TEMP [C]", Kind::Temp, 37, Store::Ext, 10, false},
    {"MOTOR_ERR_BOARD_TEMP [C]", Kind::Temp, 35, Store::Ext, 8, false},
    {"MOTOR_ERR_CURRENT_PH_A", Kind::Dec, 39, Store::Ext, 12, false},
    {"MOTOR_ERR_CURRENT_PH_B", Kind::Dec, 40, Store::Ext, 13, false},
    {"MOTOR_ERR_CURRENT_PH_C", Kind::Dec, 41, Store::Ext, 14, false},
    {"MOTOR_ERR_I2T", Kind::Dec, 38, Store::Ext, 11, true},
};

constexpr uint32_t kAna3Bar = 400;

// The container entry a row reads into (entries are packed: their fields are
// assigned, never reached through a pointer).
CtrlCmdEntry* Target(const RowB& r) {
  switch (r.store) {
    case Store::Log: return &sLogDataContainer.entries[r.entry];
    case Store::LogFile: return &sLogDataContainer.entries[sLogDataContainer.ubFileEntry + r.entry];
    case Store::Ext: return &sLogExtDataContainer.entries[r.entry];
    case Store::Scope: return &sScopeDataContainer.entries[r.entry];
    case Store::None: break;
  }
  return nullptr;
}

// The value a row writes.
uint32_t Source(const RowB& r) {
  if (r.kind == Kind::Bar) return sScopeDataContainer.entries[r.entry].udData / 100;
  if (r.kind == Kind::Const) return kAna3Bar;
  return r.info >= 0 ? sInfoDataFrame[r.info].udData : 0;
}

void WriteValue(std::string& out, Kind kind, uint32_t v, ScopeHeaderStyle style) {
  const int sv = static_cast<int>(v);
  switch (kind) {
    case Kind::Hex4: ScopeTextAppend(out, "0x%04X", v); break;
    case Kind::Hex8: ScopeTextAppend(out, "0x%08X", v); break;
    case Kind::Dec3: ScopeTextAppend(out, "%3d", sv); break;
    case Kind::Count: ScopeTextAppend(out, style == ScopeHeaderStyle::Info ? "%4d" : "%3d", sv); break;
    case Kind::Dec4: ScopeTextAppend(out, "%4d", sv); break;
    case Kind::Dec:
    case Kind::Bar:
    case Kind::Const: ScopeTextAppend(out, "%d", sv); break;
    case Kind::Volt: ScopeTextAppend(out, "%3.2f", v / 1000.0); break;
    case Kind::Temp: ScopeTextAppend(out, "%3.2f", v / 10.0); break;
    case Kind::Rev: ScopeTextAppend(out, "P%04d-%02d", static_cast<int>(v >> 16), static_cast<int>(v & 0xFFFF)); break;
    case Kind::Text: break;
  }
}

// A header word keeps the low 32 bits of its scaled value; the scaling wraps
// in unsigned arithmetic so that an absurdly large number cannot overflow.
uint32_t Scaled(int64_t n, uint32_t factor) { return static_cast<uint32_t>(static_cast<uint64_t>(n) * factor); }

// The value of a table B line; false when it does not read.
bool ReadValue(Kind kind, std::string_view text, uint32_t& v) {
  ScopeTextCursor c(text);
  int64_t n = 0;
  switch (kind) {
    case Kind::Hex4:
    case Kind::Hex8: return c.Number(v);
    case Kind::Dec3:
    case Kind::Count:
    case Kind::Dec4:
    case Kind::Dec:
      if (!c.Int(n)) return false;
      v = static_cast<uint32_t>(n);
      return true;
    case Kind::Bar:
      if (!c.Int(n)) return false;
      v = Scaled(n, 100);
      return true;
    case Kind::Volt:
    case Kind::Temp:
      if (!c.Hundredths(n)) return false;
      v = kind == Kind::Volt ? Scaled(n, 10) : static_cast<uint32_t>(n / 10);
      return true;
    case Kind::Rev: {
      int64_t minor = 0;
      if (!c.Lit('P') || !c.Int(n) || !c.Lit('-') || !c.Int(minor)) return false;
      v = static_cast<uint32_t>(n) << 16 | (static_cast<uint32_t>(minor) & 0xFFFF);
      return true;
    }
    case Kind::Const:
    case Kind::Text: break;
  }
  return false;
}

}  // namespace

bool ScopeFileMajorP0417(uint32_t major) { return major == 417 || major == MC_PRODUCT_P0417; }
bool ScopeFileMajorP0528(uint32_t major) { return major == 528 || major == MC_PRODUCT_P0528; }

void ScopeHeaderKey(std::string& out, const char* key, ScopeHeaderStyle style, int column) {
  out += key;
  out += ':';
  if (style == ScopeHeaderStyle::File) {
    out += '\t';
    return;
  }
  const int used = static_cast<int>(std::char_traits<char>::length(key)) + 1;
  out.append(used < column ? column - used : 1, ' ');
}

void ScopeHeaderWriteGeometry(std::string& out, ScopeHeaderStyle style) {
  ScopeHeaderKey(out, "FileFormat", style, kColumnGeometry);
  ScopeTextAppend(out, "%d\n", scScope[0].ubFileFormat);
  const bool p0417 = ubMcFlag3 & MC_FLAG3_FW_P0417;
  const bool quillOne = (ubMcFlag3 & MC_FLAG3_FW_QUILL) && !(ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES);
  if (p0417 || quillOne) {
    ScopeHeaderKey(out, "NumberOfRecords", style, kColumnGeometry);
    ScopeTextAppend(out, "%d\n", scScope[0].uwFrames);
    return;
  }
  ScopeHeaderKey(out, "NumberOfTraces", style, kColumnGeometry);
  ScopeTextAppend(out, "%d\n", ubScopeNumOfTraces);
  char key[32];
  for (int t = 0; t < 2; ++t) {
    const ScopeTraceDesc& d = scScope[t];
    std::snprintf(key, sizeof key, "RecordsTrace%d", t);
    ScopeHeaderKey(out, key, style, kColumnGeometry);
    ScopeTextAppend(out, "%d\n", d.uwFrames);
    std::snprintf(key, sizeof key, "StatusTrace%d", t);
    ScopeHeaderKey(out, key, style, kColumnGeometry);
    ScopeTextAppend(out, "0x%04X\n", d.udStatus);
    std::snprintf(key, sizeof key, "PostTrgTrace%d", t);
    ScopeHeaderKey(out, key, style, kColumnGeometry);
    ScopeTextAppend(out, "%d\n", d.uwPostTrg);
    std::snprintf(key, sizeof key, "SampleTimeTrace%d", t);
    ScopeHeaderKey(out, key, style, kColumnGeometry);
    ScopeTextAppend(out, "%3.2f\n", d.uwSampleTime * 0.5);
  }
  out += '\n';
}

void ScopeHeaderWriteTableA(std::string& out, ScopeHeaderStyle style) {
  for (const RowA& r : kTableA) {
    ScopeHeaderKey(out, r.key, style, kColumnA);
    ScopeTextAppend(out, r.hex ? "0x%04X\n" : "%5d\n", LoadA(r));
  }
  for (int w = 0; w < SCOPE_KVO_WORDS; ++w) {
    ScopeHeaderKey(out, kKvoKeys[w], style, kColumnA);
    ScopeTextAppend(out, "%5d\n", stRC6Kvo[w]);
  }
  ScopeHeaderKey(out, "RAMTYPE", style, kColumnA);
  ScopeTextAppend(out, "%s (0x%04X)\n\n", ScopeExtractRamtype(uwScopeRamtype), uwScopeRamtype);
}

void ScopeHeaderWriteTableB(std::string& out, ScopeHeaderStyle style) {
  for (const RowB& r : kTableB) {
    if (r.kind == Kind::Text) {
      out += r.key;
    } else {
      ScopeHeaderKey(out, r.key, style, kColumnB);
      WriteValue(out, r.kind, Source(r), style);
    }
    out += r.blankAfter ? "\n\n" : "\n";
  }
}

void ScopeTraceLoadParm(std::string_view line, uint32_t firmwareMajor) {
  std::string_view value;
  for (const RowA& r : kTableA) {
    if (!ScopeTextKey(line, r.key, value)) continue;
    ScopeTextCursor c(value);
    uint32_t v = 0;
    int64_t n = 0;
    if (r.hex ? c.Number(v) : c.Int(n)) StoreA(r, r.hex ? v : static_cast<uint32_t>(n));
    return;
  }
  for (int w = 0; w < SCOPE_KVO_WORDS; ++w) {
    if (!ScopeTextKey(line, kKvoKeys[w], value)) continue;
    ScopeTextCursor c(value);
    int64_t n = 0;
    if (c.Int(n)) stRC6Kvo[w] = static_cast<uint16_t>(n);
    return;
  }
  if (!ScopeFileMajorP0528(firmwareMajor)) return;
  for (const RowB& r : kTableB) {
    if (r.store == Store::None || !ScopeTextKey(line, r.key, value)) continue;
    uint32_t v = 0;
    if (!ReadValue(r.kind, value, v)) return;
    CtrlCmdLogDataContainerP528Init(1);
    Target(r)->udData = v;
    return;
  }
}
