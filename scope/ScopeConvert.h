// Conversion of raw frames into channel values, per firmware variant. Each
// conversion works in place on records 0 .. uwFrames - 1 of the trace (never
// past its udCapacity) and reads the 16 raw bytes of each record, which the
// caller has filled. Every raw value is accepted; nothing is read or written
// outside the records, whatever the trace length.
#pragma once

#include "scope/ScopeTrace.h"

// A Quill controller mirrors its positions: shown is 8000 - raw, so a missing
// ram position (raw 0) reads 8000.
inline constexpr int16_t SCOPE_QUILL_MIRROR = 8000;

// P0417 layout: positions scaled by uwScopeLmsResol / uwScopeMotResol (tenths).
void ScopeFrameConvertP0417(ScopeTraceDesc& trace);
// P0528 and Quill layout: interleaved positions and multiplexed channels are
// spread over the records that do not carry them. Reads expert mode and the
// Quill flag (ubMcFlag4, ubMcFlag3) and uwScopeRamtype.
void ScopeFrameConvertP0528(ScopeTraceDesc& trace);
// Quill: ram positions reported missing (raw 0, mirrored to 8000) are bridged
// from their neighbours. Runs after ScopeFrameConvertP0528.
void ScopeFrameConvertQuillRam(ScopeTraceDesc& trace);

// The download's last step: the first uwFrames raw slots of each fetched
// trace (the first trace's from slot 0, the second's after them) go into its
// records and are converted as the target's variant (ubMcFlag3, ubMcFlag5)
// needs; ubFileFormat of the first trace is set. A second trace that was
// skipped (ubMcFlag4 bit 5) is left alone.
void ScopeConvertDownload();

// True when a P0528 trace carries command and motor positions interleaved in
// its first raw word (false: the word is one value, kept in swPosWord).
bool ScopePositionsInterleaved();
