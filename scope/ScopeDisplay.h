// Trace display on the scope panel's two graphs: positions and analog
// channels on the analog graph, thirteen on/off lanes and the status bands on
// the digital graph. Both plot against the frame index.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct ScopeFrame;
struct ScopeTraceDesc;

// Removes every plot from both graphs, shows sample time 0.0 and empties the
// ram-type and machine-cycle texts (GUI thread or tick).
void ScopeClear();
// Writes a message on the analog graph in red, 20-point bold, at (20, 50):
// the place of "ERROR: Scope Transmission Error" and its siblings.
void ScopePlotMessage(const char* text);
// Draws the selected trace when a converted trace is present; analogOnly
// leaves the digital graph's plots as they are.
void ScopeTraceDisplay(int analogOnly);
// Recomputes the three axes from the panel's controls and redraws.
void ScopeDisplayRefresh();
// The evaluation notes its marks on the analog graph; a drawing takes them
// off. The cursor redraws the analog plots only to remove marks.
void ScopeNoteMarks();
bool ScopeMarksShown();

// --- Parts of the drawing, also for the cursor readout -----------------------------
enum class ScopeLaneMap { P0528, P0528Alt, Quill, P0417 };
// The map the record's target and the display mode ask for.
ScopeLaneMap ScopeSelectLaneMap();
// Whether lane 0..12 of the map is set in the frame.
bool ScopeLaneSet(const ScopeFrame& f, ScopeLaneMap map, int lane);
// The lane's plot level: 10 * lane, + 6 when set (lane 7: 75 or 76).
double ScopeLaneLevel(ScopeLaneMap map, int lane, bool set);
// The selected trace (first or second).
const ScopeTraceDesc& ScopeSelectedTrace();
// Sample period of the trace in ms; 0 for a sample-time code of 0.
double ScopeSamplePeriod(const ScopeTraceDesc& t);
// The frames the time axis controls put on the graphs' X axis (sample
// period in ms; 0 or less counts frames).
void ScopeFrameRange(double period, double& first, double& last);
// The three positions of a frame in mm (motor, ram, command), as step 5 of
// the drawing reads them; hasCmd false on a P0417 trace.
void ScopeFramePositions(const ScopeFrame& f, double& motor, double& ram, double& cmd, bool& hasCmd);
// An analog raw value in percent of the channel's range by target.
double ScopeAnalogPercent(uint16_t raw);

// Runs of consecutive frames in which `bit` of the position word is set.
struct ScopeRun {
  size_t first, last;
};
std::vector<ScopeRun> ScopeBandRuns(const ScopeFrame* frames, size_t n, uint16_t bit);
