#include "scope/ScopeTrace.h"

#include <new>

std::atomic<uint8_t> ubScopeFlag{0};
ScopeControl scScope;
uint8_t* stScopeTrace;
uint32_t udScopeTraceCapacity;
uint8_t ubScopeNumOfTraces;
int32_t iScopeTraceMaxFrames;
uint32_t udScopeFileFormat;

uint32_t udScopeFwVersion;
uint16_t uwScopeRamtype;
uint16_t uwScopeLmsResol;
uint16_t uwScopeMotResol;
uint16_t uwScopeStatus0;
uint16_t uwScopeMode0;
uint16_t uwScopeMode1;
uint16_t uwScopeRampos;
uint16_t uwScopeMotpos;
uint32_t udScopeStatus1;
uint16_t uwScopePostTrgTime;
uint32_t udScopeBootVersion;
uint16_t stRC6Kvo[SCOPE_KVO_WORDS];
uint32_t udScopeDateYear, udScopeDateMonth, udScopeDateDay;
uint32_t udScopeTimeHour, udScopeTimeMin, udScopeTimeSec;

bool ScopeFramesReplace(ScopeTraceDesc& trace, size_t records) {
  delete[] trace.pFrames;
  trace.pFrames = nullptr;
  trace.udCapacity = 0;
  if (records == 0) return true;
  trace.pFrames = new (std::nothrow) ScopeFrame[records]();
  if (!trace.pFrames) return false;
  trace.udCapacity = static_cast<uint32_t>(records);
  return true;
}

bool ScopeRawReplace(size_t records) {
  delete[] stScopeTrace;
  stScopeTrace = nullptr;
  udScopeTraceCapacity = 0;
  if (records == 0) return true;
  stScopeTrace = new (std::nothrow) uint8_t[records * SCOPE_FRAME_SIZE]();
  if (!stScopeTrace) return false;
  udScopeTraceCapacity = static_cast<uint32_t>(records);
  return true;
}

void ScopeTraceFree() {
  for (ScopeTraceDesc& t : scScope.trace) ScopeFramesReplace(t, 0);
  ScopeRawReplace(0);
}

uint8_t* ScopeRawSlot(size_t i) { return i < udScopeTraceCapacity ? stScopeTrace + i * SCOPE_FRAME_SIZE : nullptr; }
