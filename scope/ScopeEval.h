// Cycle evaluation of a recorded stroke: where the ram leaves and re-enters
// the top region (OT1, OT2), the bottom dead centre (UT), start and run
// times, the mean speeds down and up over the middle third of the working
// travel and the moment the switch output came on. Results go into the
// evaluation record, marks onto the scope graph, the panel shows them.
#pragma once
#include <cstdint>

struct ScopeTraceDesc;

// Results of the last successful evaluation (a failed one leaves the fields
// it wrote before failing). Positions in hundredths of a millimetre.
struct ScopeEvalRecord {
  int16_t swOt1Pos;
  int16_t swOt2Pos;
  int16_t swUtPos;
  int32_t sdSpeedUp;    // mm/s
  int32_t sdSpeedDown;  // mm/s
  double lfRunTime;     // ms, OT1 to OT2
  double lfStartTime;   // ms, OT1 from the start of the trace
  double lfEventTime;   // ms, switch output from the start of the trace
  int16_t swEventPos;
  uint16_t uwPos2;      // reference positions used
  uint16_t uwPos5;
};

extern ScopeEvalRecord edScopeEvalData;

// Result codes.
inline constexpr int SCOPE_EVAL_OK = 0;
inline constexpr int SCOPE_EVAL_NO_OT1 = 1;
inline constexpr int SCOPE_EVAL_NO_OT2 = 2;
inline constexpr int SCOPE_EVAL_NO_DOWN_A = 3;
inline constexpr int SCOPE_EVAL_NO_DOWN_B = 4;
inline constexpr int SCOPE_EVAL_NO_UP_A = 5;
inline constexpr int SCOPE_EVAL_NO_UP_B = 6;
inline constexpr int SCOPE_EVAL_BAD_CYCLE = 10;
inline constexpr int SCOPE_EVAL_NO_SAMPLE_TIME = 11;  // sample-time code 0: no time base

// The standard evaluation on the ram position.
int ScopeEvalData(ScopeTraceDesc& trace);
// The Quill's evaluations on mirrored positions (growing upward): on the ram
// position, and on the motor position with reference positions taken from
// the stroke itself (written back into the trace).
int ScopeQuillEvalData(ScopeTraceDesc& trace);
int ScopeQuillS01EvalData(ScopeTraceDesc& trace);

// The message the evaluate command shows for a result code (empty for 0).
const char* ScopeEvalMessage(int result);

// The evaluate command of the scope panel: chooses the evaluation for the
// trace shown, fills and shows the evaluation panel, or says why not in a box
// titled "Evaluation Error". GUI thread.
void ScopeEvaluateCommand();
