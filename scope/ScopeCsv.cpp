#include "scope/ScopeCsv.h"

#include <algorithm>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileText.h"
#include "scope/ScopeTrace.h"

namespace {

constexpr double kAna4mA = 191;     // counts at 4 mA
constexpr double kAnaSpan = 765;    // counts from 4 to 20 mA
constexpr double kAna3Bar = 400;    // ANA3 at 20 mA
constexpr int kPressureEntry = 7;   // scope-data entries 7..9: ANA0..2 at 20 mA in 1/100 bar

struct AnalogScale {
  double offset, factor;
};

// The display's percent scaling of the analog channels.
AnalogScale Scale(bool p0417Trace) {
  if (ubMcFlag3 & MC_FLAG3_FW_QUILL) {
    if (ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES) return {kAna4mA, 100.0 / kAnaSpan};
    return {819, 100.0 / 3276};
  }
  return p0417Trace ? AnalogScale{0, 100.0 / 1024} : AnalogScale{kAna4mA, 100.0 / kAnaSpan};
}

// The pressure: the channel's share of its range times the pressure at 20 mA
// (for 4-20 mA channels the cursor readout's (raw - 191) * P20 / 765).
double Bar(double percent, int channel) {
  const double full = channel < 3 ? sScopeDataContainer.entries[kPressureEntry + channel].udData / 100.0 : kAna3Bar;
  return percent > 0 ? percent * full / 100.0 : 0.0;
}

double Millimetres(int16_t raw, bool mirrored) { return (mirrored ? SCOPE_QUILL_MIRROR - raw : raw) / 100.0; }

// A field as RFC 4180 wants it: quoted when it holds a comma, a quote or a
// line end, quotes doubled.
void Field(std::string& out, const std::string& text) {
  if (!out.empty() && out.back() != '\n') out += ',';
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void Number(std::string& out, const char* format, double value) {
  std::string text;
  ScopeTextAppend(text, format, value);
  Field(out, text);
}

void Word(std::string& out, unsigned value) { Field(out, std::to_string(value)); }

void EndRow(std::string& out) { out += "\r\n"; }

}  // namespace

std::string ScopeCsvText() {
  const bool p0417 = ubScopeFlag & SCOPE_FLAG_P0417_TRACE;
  const bool mirrored = ubMcFlag3 & MC_FLAG3_FW_QUILL;
  const AnalogScale scale = Scale(p0417);
  std::string out;
  Field(out, "Trace");
  Field(out, "Time [ms]");
  if (p0417) {
    for (const char* c : {"Stepper [mm]", "Ram [mm]", "ANA0 [%]", "DigIn", "DigOut", "McState"}) Field(out, c);
  } else {
    for (const char* c : {"Cmdpos [mm]", "Ram [mm]", "Motpos [mm]", "ANA0 [%]", "ANA1 [%]", "ANA2 [%]",
                          "ANA3 [%]", "ANA0 [bar]", "ANA1 [bar]", "ANA2 [bar]", "ANA3 [bar]", "DigIn", "DigOut",
                          "McState", "Status", "Ramtype"})
      Field(out, c);
  }
  EndRow(out);
  const bool second = ubScopeNumOfTraces == 2 && !(ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED);
  for (int t = 0; t < (second ? 2 : 1); ++t) {
    const ScopeTraceDesc& d = scScope[t];
    const double period = p0417 ? d.uwSampleTime : d.uwSampleTime * 0.5;
    const size_t n = d.pFrames ? std::min<size_t>(d.uwFrames, d.udCapacity) : 0;
    for (size_t i = 0; i < n; ++i) {
      const ScopeFrame f = d.pFrames[i];
      Word(out, static_cast<unsigned>(t));
      Number(out, "%.1f", static_cast<double>(i) * period);
      const uint16_t ana[4] = {f.uwAna0, f.uwAna1, f.uwAna2, f.uwAna3};
      if (p0417) {
        Number(out, "%.2f", Millimetres(f.swCmdpos, false));
        Number(out, "%.2f", Millimetres(f.swRam, false));
        Number(out, "%.2f", (ana[0] - scale.offset) * scale.factor);
      } else {
        for (int16_t p : {f.swCmdpos, f.swRam, f.swMotpos}) Number(out, "%.2f", Millimetres(p, mirrored));
        double percent[4];
        for (int c = 0; c < 4; ++c) percent[c] = (ana[c] - scale.offset) * scale.factor;
        for (double p : percent) Number(out, "%.2f", p);
        for (int c = 0; c < 4; ++c) Number(out, "%.2f", Bar(percent[c], c));
      }
      Word(out, f.uwDigIn);
      Word(out, f.uwDigOut);
      Word(out, f.uwMcState);
      if (!p0417) {
        Word(out, f.uwStatus);
        Word(out, f.uwRamtype);
      }
      EndRow(out);
    }
  }
  return out;
}

uint8_t ScopeExportCsv(const std::string& path) {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) {
    ScopeFileSetReason("no trace present");
    return SCOPE_CSV_NO_TRACE;
  }
  std::string error;
  if (!FileWriteAtomically(path, ScopeCsvText(), error)) {
    ScopeFileSetReason(path + ": " + error);
    return SCOPE_CSV_IO_ERROR;
  }
  return SCOPE_CSV_OK;
}
