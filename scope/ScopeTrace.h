// The trace record: the frames of the last downloaded or loaded trace and its
// header values. The download, the trace-file reader and writer, the display
// and the evaluation all work on these globals; nothing here needs the engine.
//
// Ownership: the frame arrays (pFrames of both traces) and the raw download
// buffer stScopeTrace are heap arrays owned by the record. They are only ever
// replaced whole, through the functions below, which free what was held;
// ScopeTraceFree releases everything at shutdown. A descriptor's
// udCapacity is the number of records its array holds: whoever indexes
// pFrames stays below it (and below uwFrames).
//
// Threads: the tick (download) or the GUI thread (file load, display) while
// no download runs; nothing here locks.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr size_t SCOPE_RAW_BYTES = 16;    // raw bytes of a frame that every layout uses
inline constexpr size_t SCOPE_FRAME_SIZE = 43;   // one record, in every buffer
inline constexpr int SCOPE_KVO_WORDS = 25;       // extended parameter words of the header

#pragma pack(push, 1)
struct ScopeFrame {
  uint8_t aubRaw[SCOPE_RAW_BYTES];  // the frame as received (stored in trace files as raw data)
  int16_t swCmdpos;    // P0528: command position; P0417: stepper (motor) position
  int16_t swRam;       // ram position
  uint16_t uwMcState;  // machine-cycle state word, high byte the cycle
  uint16_t uwDigIn;    // digital inputs, 14 bits used
  uint16_t uwDigOut;   // digital outputs, 10 bits used
  uint16_t uwAna0;     // analog channels in converter counts (191 = 4 mA, 956 = 20 mA)
  uint16_t uwAna1;
  uint16_t uwAna2;
  uint16_t uwAna3;
  int16_t swMotpos;    // motor position (P0528)
  uint8_t ubMux;       // multiplex index 0..3 of the frame (P0528)
  uint16_t uwRamtype;  // assembled from multiplexed bytes (P0528)
  uint16_t uwStatus;   // controller status word, assembled likewise
  int16_t swPosWord;   // first raw word kept whole when positions are not interleaved
};
#pragma pack(pop)
static_assert(sizeof(ScopeFrame) == SCOPE_FRAME_SIZE, "records are addressed as base + index * 43");
static_assert(offsetof(ScopeFrame, swCmdpos) == 16 && offsetof(ScopeFrame, swRam) == 18);
static_assert(offsetof(ScopeFrame, uwMcState) == 20 && offsetof(ScopeFrame, uwDigIn) == 22);
static_assert(offsetof(ScopeFrame, uwDigOut) == 24 && offsetof(ScopeFrame, uwAna0) == 26);
static_assert(offsetof(ScopeFrame, uwAna3) == 32 && offsetof(ScopeFrame, swMotpos) == 34);
static_assert(offsetof(ScopeFrame, ubMux) == 36 && offsetof(ScopeFrame, uwRamtype) == 37);
static_assert(offsetof(ScopeFrame, uwStatus) == 39 && offsetof(ScopeFrame, swPosWord) == 41);

// Trace formats (ubFileFormat of the first trace, FileFormat in files).
inline constexpr uint8_t SCOPE_FORMAT_P0417 = 2;
inline constexpr uint8_t SCOPE_FORMAT_QUILL = 3;  // Quill with one trace
inline constexpr uint8_t SCOPE_FORMAT_P0528 = 4;  // P0528, and the Quill with two traces

// Trace status word bits (udStatus).
inline constexpr uint32_t SCOPE_STATUS_HW_TRIGGER = 0x0001;   // source: hardware input (clear: machine cycle)
inline constexpr uint32_t SCOPE_STATUS_FORWARD = 0x0008;
inline constexpr uint32_t SCOPE_STATUS_BACKWARD = 0x0010;     // backtrace
inline constexpr uint32_t SCOPE_STATUS_FROZEN = 0x0020;
inline constexpr uint32_t SCOPE_STATUS_QUILL_RUNNING = 0x0040; // Quill: backtrace not stopped
inline constexpr uint32_t SCOPE_STATUS_RUNNING = 0x0100;      // backtrace not stopped

struct ScopeTraceDesc {
  uint16_t uwFrameLength = 0;     // bytes per raw frame as the controller sends it
  uint16_t uwFramesPerBlock = 0;  // frames per download block
  uint16_t uwFrames = 0;          // records of the trace
  ScopeFrame* pFrames = nullptr;  // owned; udCapacity records
  uint32_t udCapacity = 0;
  uint16_t uwSampleTime = 0;      // code: 0.5 ms units (P0417: 1 ms)
  uint32_t udStatus = 0;          // SCOPE_STATUS_* bits
  uint16_t uwPostTrg = 0;         // frames recorded after the trigger
  uint8_t ubFileFormat = 0;       // first trace only: SCOPE_FORMAT_*
  uint16_t uwPos2 = 0;            // reference positions for the evaluation
  uint16_t uwPos5 = 0;
};

struct ScopeControl {
  ScopeTraceDesc trace[2];  // first and second trace
  ScopeTraceDesc& operator[](int i) { return trace[i]; }
  const ScopeTraceDesc& operator[](int i) const { return trace[i]; }
};

// ubScopeFlag: display and trace selection bits (set from any thread).
inline constexpr uint8_t SCOPE_FLAG_P0417_TRACE = 0x01;  // the trace came from a P0417 target
inline constexpr uint8_t SCOPE_FLAG_DISPLAY_B = 0x02;    // black-and-white plots
inline constexpr uint8_t SCOPE_FLAG_SECOND_TRACE = 0x40; // the second trace is selected
inline constexpr uint8_t SCOPE_FLAG_LAST_LOAD_LOG = 0x80; // the last file loaded was ".log"
extern std::atomic<uint8_t> ubScopeFlag;

// --- The record ---------------------------------------------------------------
extern ScopeControl scScope;
// The raw frame buffer of the download: one 43-byte slot per frame, the first
// trace's frames followed by the second trace's; udScopeTraceCapacity slots.
extern uint8_t* stScopeTrace;
extern uint32_t udScopeTraceCapacity;
extern uint8_t ubScopeNumOfTraces;     // 1 or 2
// Frames of a trace loaded from a file (the reader's result), -1 after a
// failed load. Wider than 16 bits: a trace may hold up to 65 535 frames.
extern int32_t iScopeTraceMaxFrames;
extern uint32_t udScopeFileFormat;     // FileFormat of the trace file last read

// --- Header values of the trace --------------------------------------------------
extern uint32_t udScopeFwVersion;      // product << 16 | revision of the recording controller
extern uint16_t uwScopeRamtype;        // ram-type code of the recording controller
extern uint16_t uwScopeLmsResol;       // P0417 ram position resolution (units of 1/10)
extern uint16_t uwScopeMotResol;       // P0417 motor position resolution
extern uint16_t uwScopeStatus0;
extern uint16_t uwScopeMode0;
extern uint16_t uwScopeMode1;
extern uint16_t uwScopeRampos;
extern uint16_t uwScopeMotpos;
extern uint32_t udScopeStatus1;
extern uint16_t uwScopePostTrgTime;
extern uint32_t udScopeBootVersion;
extern uint16_t stRC6Kvo[SCOPE_KVO_WORDS];  // extended parameter words 0..24
// The PC's date and time when the trace was converted.
extern uint32_t udScopeDateYear, udScopeDateMonth, udScopeDateDay;
extern uint32_t udScopeTimeHour, udScopeTimeMin, udScopeTimeSec;

// --- Buffers ---------------------------------------------------------------------------
// Replaces the trace's frame array by `records` zeroed records (0: none).
// True done; false out of memory, and the trace then holds no array.
bool ScopeFramesReplace(ScopeTraceDesc& trace, size_t records);
// The same for the raw download buffer (records of 43 bytes).
bool ScopeRawReplace(size_t records);
// Frees every array of the record (shutdown).
void ScopeTraceFree();
// Record i of the raw buffer; nullptr beyond its capacity.
uint8_t* ScopeRawSlot(size_t i);
