// Script files (.pms, .scr): one loader for the "Run script file" menu item,
// the Run script button and the batch plan. A script runs only when every
// one of its lines compiled.
#pragma once
#include <cstdint>
#include <string>

enum ScriptLoadResult : uint8_t {
  SCRIPT_LOAD_OK = 0,           // compiled (the panel loader has started it if it made entries)
  SCRIPT_LOAD_UNKNOWN = 1,      // a line is no command (the interpreter's result 1)
  SCRIPT_LOAD_OPEN_FAILED = 2,  // "Can't open File"
  SCRIPT_LOAD_NO_LINK = 3,      // "Target not connected!\n"
  SCRIPT_LOAD_REFUSED = 4,      // a line was refused (the interpreter's result 4)
  SCRIPT_LOAD_BUSY = 5,         // an operation runs or waits: the script container is in use
  SCRIPT_LOAD_CANCELLED = 6,    // no file chosen
};

// Compiles script file `path` into sScrContainer, one line at a time, from
// the first line on (ObjCmdScriptReset first). Lines end in LF or CR LF; the
// last line may lack its line end; a leading UTF-8 byte-order mark is
// skipped. With stopAtFirstError the first line whose result is not 0 ends
// the loading; otherwise every line is compiled and every error reply
// collected. `reply` gets the error replies, one per line, or "Can't open
// File". On any error the container is emptied, so nothing of the file can
// run, and a rewind request is dropped. Never starts the script. Returns
// SCRIPT_LOAD_OK, _UNKNOWN or _REFUSED (of the first failing line), or
// _OPEN_FAILED (also for a read error). Caller: the user-interface thread or
// the batch machine, while the container is not in use.
uint8_t McycleCompileScriptFile(const std::string& path, bool stopAtFirstError, std::string& reply);

// True while an operation machine runs or a signal waits to be taken by the
// tick: rewriting the script container then would change a running script.
bool McycleScriptContainerBusy();

// The panels' loader: needs a selected link ("Target not connected!\n"), asks
// for the file ("Select Scripfile", "*.pms;*.scr"), refuses while the script
// container is busy, compiles it with McycleCompileScriptFile and shows the
// error replies in the message log; starts the script (signal 5) only when
// every line compiled and there is at least one entry. User-interface thread.
uint8_t McycleLoadScriptFile(bool stopAtFirstError);
