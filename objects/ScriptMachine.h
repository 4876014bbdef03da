// The script machine (machine 0x06 of the cycle engine, entry point
// McycleWriteScriptListStateMachine in engine/McycleMachines.h) runs the
// entries of sScrContainer one step per tick, and the state it keeps between
// scripts: the trace and object-log folders and the open object log file.
//
// Everything here belongs to the tick, except McycleObjectLogClose, which
// shutdown calls after the tick has stopped.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Steps of the machine.
inline constexpr uint16_t MC_SCRIPT_START = 0x0600;
inline constexpr uint16_t MC_SCRIPT_NEXT = 0x0601;
inline constexpr uint16_t MC_SCRIPT_OBJECT = 0x0602;
inline constexpr uint16_t MC_SCRIPT_DELAY = 0x0603;
inline constexpr uint16_t MC_SCRIPT_DOS = 0x0604;
inline constexpr uint16_t MC_SCRIPT_TRACE_BACK = 0x0605;
inline constexpr uint16_t MC_SCRIPT_TRACE_SAVE = 0x0606;
inline constexpr uint16_t MC_SCRIPT_TRACE_PATH = 0x0607;
inline constexpr uint16_t MC_SCRIPT_END = 0x0608;
inline constexpr uint16_t MC_SCRIPT_LOG_PATH = 0x0609;

// Longest file name a script step builds (folder, separator and name).
inline constexpr size_t MC_PATH_MAX = 260;

// Folders of trace files (TRACE_PATH) and object log files (LOG_PATH), with
// their meta strings expanded; empty means the current folder.
extern char ubMcTraceSavePath[MC_PATH_MAX + 1];
extern char ubMcLogSavePath[MC_PATH_MAX + 1];
// The object log file of LOG_CREATE / LOG_APPEND, or nullptr.
extern FILE* fpMcLogFile;

// Flushes and closes the object log file. 0 closed; 1 none was open; 2 the
// flush or close failed (the file is closed all the same).
uint8_t McycleObjectLogClose();
