// The traces of TraceFixture.h, without gtest (the benchmarks use them too).
#include "support/TraceFixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeFile.h"
#include "scope/lzw.h"
#include "sim/SimBacktraceFile.h"

namespace {

void Put16(uint8_t* raw, int at, int value) {
  raw[at] = static_cast<uint8_t>(value);
  raw[at + 1] = static_cast<uint8_t>(value >> 8);
}

// A P0528 frame: interleaved positions, the multiplexed channels, ram type
// and status spread over four frames; Quill ram gaps (raw 0) where `gaps`.
void P0528Raw(uint8_t* raw, int i, uint16_t ramtype, bool gaps) {
  const int mux = i % 4;
  Put16(raw, 0, mux % 2 == 0 ? 1000 + 3 * i : 1100 + 3 * i);
  Put16(raw, 2, gaps && i >= 10 && i < 15 ? 0 : 1050 + 2 * i);
  Put16(raw, 4, 0x0A00 | (i % 16));
  Put16(raw, 6, (i * 37) & 0x3FFF);
  Put16(raw, 8, (i * 11) & 0x3FF);
  Put16(raw, 10, 191 + (i * 7) % 765);
  Put16(raw, 12, 191 + (i * 13) % 765);
  const uint16_t status = static_cast<uint16_t>(0x1234 + i / 4);
  const uint8_t mux14[4] = {static_cast<uint8_t>(ramtype), static_cast<uint8_t>(ramtype >> 8),
                            static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8)};
  raw[14] = mux14[mux];
  raw[15] = static_cast<uint8_t>(mux);
}

void P0417Raw(uint8_t* raw, int i) {
  Put16(raw, 0, 2000 - 5 * i);
  Put16(raw, 2, -500 + 7 * i);
  Put16(raw, 4, 0x1400 | (i % 16));
  Put16(raw, 8, (i * 37) & 0x3FFF);
  Put16(raw, 10, (i * 11) & 0x3FF);
  Put16(raw, 12, (i * 5) % 1024);
  Put16(raw, 14, i * 3 - 100);
}

void Fill(TraceVariant v, int t, int frames) {
  ScopeTraceDesc& d = scScope[t];
  if (!ScopeFramesReplace(d, static_cast<size_t>(frames))) std::abort();
  d.uwFrames = static_cast<uint16_t>(frames);
  const bool quill = v == TraceVariant::Quill || v == TraceVariant::QuillTwo;
  for (int i = 0; i < frames; ++i) {
    if (v == TraceVariant::P0417)
      P0417Raw(d.pFrames[i].aubRaw, i);
    else
      P0528Raw(d.pFrames[i].aubRaw, i, uwScopeRamtype, quill && t == 0);
  }
  if (v == TraceVariant::P0417) {
    ScopeFrameConvertP0417(d);
  } else {
    ScopeFrameConvertP0528(d);
    if (quill && t == 0) ScopeFrameConvertQuillRam(d);
  }
}

// Values of the P0528 header block; voltages in whole 10 mV, as the files
// keep them.
void P0528Header() {
  CtrlCmdLogDataContainerP528Init(0);
  for (int e = 12; e <= 40; ++e) sLogDataContainer.entries[e].udData = 0x100u * e + 7;
  for (int e : {21, 22, 23, 26}) sLogDataContainer.entries[e].udData = 24000u + 10u * e;
  sLogDataContainer.entries[13].udData = 0xFFFFFFF6u;   // -10 °C
  sLogDataContainer.entries[25].udData = 453;           // CPU 45.3 °C
  sLogDataContainer.entries[24].udData = 0xFFFFFFFBu;   // board -0.5 °C, taken as unsigned
  sLogDataContainer.entries[29].udData = 0xFFFFFF9Cu;   // a negative phase current
  for (int e = 0; e <= 27; ++e) sLogExtDataContainer.entries[e].udData = 0x10000u + 0x11u * e;
  for (int e : {4, 5, 6, 9}) sLogExtDataContainer.entries[e].udData = 23000u + 10u * e;
  sLogExtDataContainer.entries[7].udData = 0;  // no line of the file carries 0x260A/8
  sLogExtDataContainer.entries[22].udData = 4242;  // CNT_SEEK_POS2
}

void Pressures(uint32_t a0, uint32_t a1, uint32_t a2) {
  sScopeDataContainer.entries[7].udData = a0;
  sScopeDataContainer.entries[8].udData = a1;
  sScopeDataContainer.entries[9].udData = a2;
}

}  // namespace

void TraceClearAll() {
  ubMcFlag2 = ubMcFlag3 = ubMcFlag4 = ubMcFlag5 = 0;
  ubScopeFlag = 0;
  ubScopeFlag1 = 0;
  for (ScopeTraceDesc& t : scScope.trace) {
    ScopeFramesReplace(t, 0);
    t = ScopeTraceDesc{};
  }
  ubScopeNumOfTraces = 0;
  iScopeTraceMaxFrames = 0;
  udScopeFileFormat = 0;
  udScopeFwVersion = udScopeBootVersion = udScopeStatus1 = udScopeSwVersion = 0;
  uwScopeRamtype = uwScopeLmsResol = uwScopeMotResol = uwScopeStatus0 = uwScopeMode0 = uwScopeMode1 = 0;
  uwScopeRampos = uwScopeMotpos = uwScopePostTrgTime = 0;
  std::memset(stRC6Kvo, 0, sizeof stRC6Kvo);
  udScopeDateYear = udScopeDateMonth = udScopeDateDay = udScopeTimeHour = udScopeTimeMin = udScopeTimeSec = 0;
  for (CtrlCmdContainer* c : {&sLogDataContainer, &sLogExtDataContainer, &sScopeDataContainer})
    for (CtrlCmdEntry& e : c->entries) e.udData = 0;
  for (CtrlCmdEntry& e : sInfoDataFrame) e = CtrlCmdEntry{};
  std::memset(ubScopeCommentBuffer, 0, SCOPE_COMMENT_SIZE);
}

void TraceMake(TraceVariant v, int frames) {
  TraceClearAll();
  const bool quill = v == TraceVariant::Quill || v == TraceVariant::QuillTwo;
  const bool two = v == TraceVariant::P0528 || v == TraceVariant::P0528Skipped || v == TraceVariant::QuillTwo;
  if (v == TraceVariant::P0417) {
    ubMcFlag3 |= MC_FLAG3_FW_P0417;
    ubScopeFlag |= SCOPE_FLAG_P0417_TRACE;
    udScopeFwVersion = 135u << 16 | 7;
    uwScopeRamtype = 0x0011;
    Pressures(40000, 25000, 40000);
  } else if (quill) {
    ubMcFlag3 |= MC_FLAG3_FW_QUILL;
    if (v == TraceVariant::QuillTwo) ubMcFlag5 |= MC_FLAG5_QUILL_TWO_TRACES;
    udScopeFwVersion = 300u << 16 | 3;
    uwScopeRamtype = v == TraceVariant::QuillTwo ? 0x0082 : 0x0080;
    uwScopePostTrgTime = 100;
    Pressures(40000, 16000, 40000);
  } else {
    udScopeFwVersion = 235u << 16 | 11;
    uwScopeRamtype = 0x0031;
    uwScopePostTrgTime = 100;
    Pressures(40000, 25000, 16000);
    P0528Header();
  }
  if (v != TraceVariant::P0417) udScopeBootVersion = 0x0102;
  udScopeDateYear = 2024, udScopeDateMonth = 3, udScopeDateDay = 5;
  udScopeTimeHour = 14, udScopeTimeMin = 22, udScopeTimeSec = 9;
  uwScopeStatus0 = 0x1A2B, udScopeStatus1 = 0x00345678, uwScopeMode0 = 0x0102, uwScopeMode1 = 0x0304;
  uwScopeRampos = 1234, uwScopeMotpos = 4321, uwScopeLmsResol = 5, uwScopeMotResol = 10;
  for (int w = 0; w < SCOPE_KVO_WORDS; ++w) stRC6Kvo[w] = static_cast<uint16_t>(100 + 37 * w);
  std::snprintf(ubScopeCommentBuffer, SCOPE_COMMENT_SIZE, "stroke %d, tool 7", frames);

  ubScopeNumOfTraces = two ? 2 : 1;
  scScope[0].ubFileFormat = v == TraceVariant::P0417 ? SCOPE_FORMAT_P0417
                            : v == TraceVariant::Quill ? SCOPE_FORMAT_QUILL
                                                       : SCOPE_FORMAT_P0528;
  scScope[0].uwSampleTime = 2;
  scScope[0].udStatus = 0x0010;
  scScope[0].uwPostTrg = static_cast<uint16_t>(frames / 4);
  Fill(v, 0, frames);
  if (two) {
    ScopeTraceDesc& second = scScope[1];
    second.uwSampleTime = 4;
    second.uwPostTrg = static_cast<uint16_t>(frames / 2);
    if (v == TraceVariant::P0528Skipped) {
      second.udStatus = SCOPE_STATUS_BACKWARD | SCOPE_STATUS_RUNNING;
      second.uwFrames = static_cast<uint16_t>(frames);
      ubMcFlag4 |= MC_FLAG4_SECOND_TRACE_SKIPPED;
    } else {
      second.udStatus = 0x0008;
      Fill(v, 1, frames);
    }
  }
  ubMcFlag2 |= MC_FLAG2_TRACE_PRESENT;
  ScopeCopyInfoData();
}

namespace {

// Object 0x200F of the controller: product in the high byte, revision in the low.
uint32_t ControllerVersionWord() { return (udScopeFwVersion >> 8 & 0xFF00) | (udScopeFwVersion & 0xFF); }

}  // namespace

std::string TraceLo1Bytes(uint16_t frameLength, bool crlf) {
  SimBacktrace f;
  f.year = static_cast<int>(udScopeDateYear), f.month = static_cast<int>(udScopeDateMonth);
  f.day = static_cast<int>(udScopeDateDay), f.hour = static_cast<int>(udScopeTimeHour);
  f.minute = static_cast<int>(udScopeTimeMin), f.second = static_cast<int>(udScopeTimeSec);
  f.firmware = udScopeFwVersion;
  f.bootloader = udScopeBootVersion;
  auto& r = f.records;
  const ScopeTraceDesc &t0 = scScope[0], &t1 = scScope[1];
  r = {{0x210C, 0, 2, frameLength}, {0x2115, 0, 2, t0.uwFrames},      {0x2102, 0, 2, t0.uwSampleTime},
       {0x2118, 0, 2, t0.uwPostTrg}, {0x2004, 0, 2, uwScopeStatus0},  {0x2119, 0, 4, udScopeStatus1},
       {0x2103, 0, 2, uwScopeMode0}, {0x210F, 0, 2, uwScopeMode1},    {0x2101, 0, 2, uwScopeLmsResol},
       {0x22B3, 0, 2, uwScopeMotResol}, {0x2106, 0, 2, uwScopeRamtype}, {0x200F, 0, 2, ControllerVersionWord()},
       {0x2002, 0, 2, uwScopeRampos}, {0x22B1, 0, 2, uwScopeMotpos},
       {0x2A00, 1, 4, t0.udStatus},  {0x2A00, 2, 4, t1.udStatus},     {0x2A00, 3, 4, t1.uwSampleTime},
       {0x2A00, 4, 4, t1.uwFrames}};
  constexpr uint16_t kKvoObjects[SCOPE_KVO_WORDS] = {0x2008, 0x2009, 0x200C, 0x200E, 0x200A, 0x2286, 0x2287,
                                                     0x2288, 0x2291, 0x2292, 0x2293, 0x2294, 0x2295, 0x2296,
                                                     0x2297, 0x2298, 0x22A1, 0x200D, 0x22A3, 0x22A4, 0x22A5,
                                                     0x22A6, 0x22A7, 0x22A8, 0x200B};
  for (int w = 0; w < SCOPE_KVO_WORDS; ++w) r.push_back({kKvoObjects[w], 0, 2, stRC6Kvo[w]});
  // The header block: each entry's own object, as the controller records it.
  const auto& log = sLogDataContainer.entries;
  for (int e = sLogDataContainer.ubFileEntry; e <= sLogDataContainer.ubLastEntry; ++e)
    r.push_back({log[e].uwIndex, log[e].ubSubIndex, log[e].ubLength, log[e].udData});
  for (uint8_t i = 0; i < 3; ++i) r.push_back({0x2318, static_cast<uint8_t>(0x10 + i), 4, sScopeDataContainer.entries[7 + i].udData});
  for (const CtrlCmdEntry& e : sLogExtDataContainer.entries)
    if (e.uwIndex == 0x260A || e.uwIndex == 0x2107) r.push_back({e.uwIndex, e.ubSubIndex, 4, e.udData});
  for (int t = 0; t < ubScopeNumOfTraces; ++t)
    for (uint32_t i = 0; i < scScope[t].uwFrames; ++i) {
      f.frames.insert(f.frames.end(), scScope[t].pFrames[i].aubRaw, scScope[t].pFrames[i].aubRaw + SCOPE_RAW_BYTES);
      f.frames.insert(f.frames.end(), frameLength - SCOPE_RAW_BYTES, 0xEE);
    }
  return SimBacktraceFileBytes(f, crlf);
}

std::string TraceCompress(const std::string& text) {
  LzwTables tables;
  std::string out(LzwCompressBound(text.size()), '\0');
  LzwInit();
  auto* begin = reinterpret_cast<uint8_t*>(out.data());
  const uint8_t* end = LzwCompress(reinterpret_cast<const uint8_t*>(text.data()), text.size(), begin);
  out.resize(end ? static_cast<size_t>(end - begin) : 0);
  return out;
}

TraceSnapshot TraceCapture() {
  TraceSnapshot s{};
  s.traces = ubScopeNumOfTraces;
  s.skipped = ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED;
  for (int t = 0; t < 2; ++t) {
    const ScopeTraceDesc& d = scScope[t];
    s.desc[t] = d;
    s.desc[t].pFrames = nullptr;
    s.desc[t].udCapacity = 0;
    if (t < s.traces && !(t == 1 && s.skipped) && d.pFrames) s.frames[t].assign(d.pFrames, d.pFrames + d.uwFrames);
  }
  s.flag3 = ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL);
  s.flag5 = ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES;
  s.scopeFlag = ubScopeFlag & SCOPE_FLAG_P0417_TRACE;
  s.fwVersion = udScopeFwVersion, s.bootVersion = udScopeBootVersion, s.status1 = udScopeStatus1;
  const uint32_t date[6] = {udScopeDateYear, udScopeDateMonth, udScopeDateDay,
                            udScopeTimeHour, udScopeTimeMin,   udScopeTimeSec};
  std::memcpy(s.date, date, sizeof date);
  s.ramtype = uwScopeRamtype, s.lmsResol = uwScopeLmsResol, s.motResol = uwScopeMotResol;
  s.status0 = uwScopeStatus0, s.mode0 = uwScopeMode0, s.mode1 = uwScopeMode1;
  s.rampos = uwScopeRampos, s.motpos = uwScopeMotpos;
  std::memcpy(s.kvo, stRC6Kvo, sizeof s.kvo);
  for (int e = 0; e < SCOPE_INFO_ENTRIES; ++e) s.info[e] = sInfoDataFrame[e].udData;
  for (int i = 0; i < 3; ++i) s.pressure[i] = sScopeDataContainer.entries[7 + i].udData;
  return s;
}

