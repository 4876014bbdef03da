// The evaluation record: results of the last successful evaluation of a
// stroke. Positions in hundredths of a millimetre.
#pragma once
#include <cstdint>

struct ScopeEvalData {
  int16_t swOt1Pos;
  int16_t swOt2Pos;
  int16_t swUtPos;
  int32_t sdSpeedUp;    // mm/s
  int32_t sdSpeedDown;  // mm/s
  double lfRunTime;     // ms, OT1 to OT2
  double lfStartTime;   // ms, OT1 from the start of the trace
  double lfEventTime;   // ms
  int16_t swEventPos;
  uint16_t uwPos2;
  uint16_t uwPos5;
};

extern ScopeEvalData edScopeEvalData;
