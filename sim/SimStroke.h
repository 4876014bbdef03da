// A press stroke as the controller's scope records it, from a model rather
// than noise: idle at the top, a machine cycle with fast approach, slow-down,
// pressing (the pressures rise), dwell, return and idle again. The command
// position leads the ram by a following error; inputs and outputs switch with
// the phases. The samples can be encoded as the raw frames of each firmware
// variant. Used by rc7sim and, to know what it sent, by tests and benchmarks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Positions in hundredths of a millimetre (down is positive), speeds in mm/s,
// times in ms.
struct SimStrokeModel {
  int top = 2000;            // idle position
  int bottom = 6000;         // lowest point of the stroke
  int slowDown = 1000;       // the approach slows this far above the bottom
  int contact = 200;         // pressing starts this far above the bottom
  int speedDown = 150;       // fast approach
  int speedSlow = 40;
  int speedPress = 10;
  int speedUp = 200;         // return
  double leadMs = 100;       // idle before the cycle starts
  double dwellMs = 150;      // at the bottom
  uint16_t cycle = 0x0A;     // machine cycle (high byte of the state word): PUNCH
  int followingError = 8;    // ms the command position is ahead of the ram
  int motorOffset = 25;      // motor position: ram + this
  int switchAt = 4000;       // the switch output goes on below this position
  uint16_t switchBit = 0x0040;  // ... this output bit (P0417 0x0008, Quill 0x0100)
  double analogLow = 191;    // converter counts at 4 mA and 20 mA (P0417: 10 bits,
  double analogHigh = 956;   // the one-trace Quill: 819 .. 4095)
};

// One sample of the stroke: what the controller measured.
struct SimStrokeSample {
  int16_t ram, cmd, mot;
  int16_t speed;              // ram speed, mm/s (positive down)
  uint16_t mcState;           // cycle << 8 | phase, 0 while idle
  uint16_t digIn, digOut;
  uint16_t ana[4];            // converter counts: 191 = 4 mA .. 956 = 20 mA
  uint16_t posWord;           // the single position word of the alternative ram groups
};

// Phases of the cycle (low byte of the state word).
enum SimStrokePhase : uint8_t { kSimIdle = 0, kSimFast = 1, kSimSlow = 2, kSimPress = 3, kSimDwell = 4, kSimReturn = 5 };

// `frames` samples taken every `sampleMs` ms from the model.
std::vector<SimStrokeSample> SimStrokeGenerate(const SimStrokeModel& model, size_t frames, double sampleMs);

// When the ram first passes `position` on the way down (down) or up, in ms
// from the start of the stroke's recording.
double SimStrokeTimeAt(const SimStrokeModel& model, int position, bool down);

// Raw frame layouts.
enum class SimScopeLayout { P0417, P0528, Quill };

struct SimScopeEncoding {
  SimScopeLayout layout = SimScopeLayout::P0528;
  uint16_t ramtype = 0x30;
  uint16_t status = 0x4000;    // controller status word, multiplexed
  bool interleaved = true;     // P0528/Quill: command and motor positions in word 0
  uint16_t lmsResol = 10;      // P0417: tenths per ram position unit
  uint16_t motResol = 5;
  bool ramGaps = false;        // Quill: ram positions missing (raw 0) in places
};

// Strokes an evaluation must refuse.
enum class SimStrokeFault { None, OtherCycle, Shallow, NoReturn };

// What the simulator's options change of the recorded stroke; unset fields
// keep the model's own.
struct SimStrokeShape {
  bool travel = false;  // top and bottom below
  int top = 0, bottom = 0;
  int speedDown = 0, speedUp = 0;  // 0: the model's
  double dwellMs = -1;             // negative: the model's
  bool switchSet = false;
  int switchAt = 0;
  // OtherCycle: the cycle is code 30; Shallow: the ram stays within 0.4 mm
  // of the top; NoReturn: it stays at the bottom.
  SimStrokeFault fault = SimStrokeFault::None;
};

// The stroke the simulated scope records in trace 0 or 1 for a layout
// (oneTraceQuill: the Quill with a single trace and its 12-bit channels),
// changed as the shape says.
SimStrokeModel SimScopeTraceModel(SimScopeLayout layout, int trace, bool oneTraceQuill,
                                  const SimStrokeShape& shape = {});

// The 16 raw bytes of every sample, in `out` (16 * samples bytes).
void SimStrokeEncode(const std::vector<SimStrokeSample>& samples, const SimScopeEncoding& encoding, uint8_t* out);
// The Quill's missing ram positions in a trace of `frames`: gaps of 3, 5 and
// 20 frames and one that runs to the end.
bool SimStrokeRamGap(size_t frame, size_t frames);
