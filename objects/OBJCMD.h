// Command interpreter: compiles typed lines and script-file lines into entries
// of the script container sScrContainer (params/CtrlCmd.h); a few commands
// (REWIND, HELP, LOG, MODE_EXPERT) act at once instead.
//
// Keywords and the ON/OFF and IF operator words match in any case; text
// arguments (file names, paths, the DOS command) are kept exactly as typed.
//
// All functions run on the user-interface thread (or the batch machine),
// never while the script machine executes the container.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr uint8_t OBJCMD_MAX_WORDS = 11;
inline constexpr size_t OBJCMD_MAX_LINE = 255;      // characters per line
inline constexpr size_t OBJCMD_MAX_PATH_ARG = 200;  // TRACE_PATH, LOG_PATH

// Results of ObjCmdInterpreter.
inline constexpr uint8_t OBJCMD_OK = 0;       // entry made, immediate command done, or nothing to do
inline constexpr uint8_t OBJCMD_UNKNOWN = 1;  // not a command
inline constexpr uint8_t OBJCMD_REFUSED = 4;  // a command with wrong or unusable arguments

// Statement kinds in udFlags of a script entry. An entry with none of the
// control bits (everything but RF and LOG_OBJECT) is an object access.
inline constexpr uint32_t SCR_FLAG_DOS = 0x1;
inline constexpr uint32_t SCR_FLAG_TRACE_DOWNLOAD = 0x2;
inline constexpr uint32_t SCR_FLAG_TRACE_SAVE = 0x4;
inline constexpr uint32_t SCR_FLAG_TRACE_PATH = 0x8;
inline constexpr uint32_t SCR_FLAG_LABEL = 0x10;
inline constexpr uint32_t SCR_FLAG_GOTO = 0x20;
inline constexpr uint32_t SCR_FLAG_COUNTER_SET = 0x40;
inline constexpr uint32_t SCR_FLAG_COUNTER_DEC = 0x80;
inline constexpr uint32_t SCR_FLAG_SKIP_ZERO = 0x100;
inline constexpr uint32_t SCR_FLAG_SKIP_NONZERO = 0x200;
inline constexpr uint32_t SCR_FLAG_DLY = 0x400;
inline constexpr uint32_t SCR_FLAG_STOP = 0x800;
inline constexpr uint32_t SCR_FLAG_LOG_CLEAR = 0x1000;
inline constexpr uint32_t SCR_FLAG_LOG_SAVE = 0x2000;
inline constexpr uint32_t SCR_FLAG_IF = 0x10000;
inline constexpr uint32_t SCR_FLAG_SCOPE_SAMPLE_TIME = 0x20000;
inline constexpr uint32_t SCR_FLAG_SCOPE_AXIS_POS = 0x40000;
inline constexpr uint32_t SCR_FLAG_SCOPE_AXIS_GAIN = 0x80000;
inline constexpr uint32_t SCR_FLAG_RF = 0x100000;
inline constexpr uint32_t SCR_FLAG_LOG_PATH = 0x200000;
inline constexpr uint32_t SCR_FLAG_LOG_CREATE = 0x400000;
inline constexpr uint32_t SCR_FLAG_LOG_APPEND = 0x800000;
inline constexpr uint32_t SCR_FLAG_LOG_OBJECT = 0x1000000;
inline constexpr uint32_t SCR_FLAG_LOG_CLOSE = 0x2000000;

// Splits `line` in place at blanks and tabs and stores up to maxWords word
// pointers; a word that begins with ';' ends the line (comment). Returns the
// number of words stored.
uint8_t ObjCmdScanWords(char* line, uint8_t maxWords, char** words);

// "0x"/"0X" followed by hexadecimal digits, or a signed decimal number; any
// value from -2147483648 to 4294967295 (returned as its 32-bit pattern).
// Anything else (empty, "0x" alone, stray characters, overflow) gives 0 and,
// when `valid` is given, false in it.
int32_t ObjCmdStringToNumber(const char* word, bool* valid = nullptr);

// Starts a new script or command line: frees every entry and its text, sets
// uwNumOfEntries and uwLineCount to 0 and undefines every label, so a GOTO can
// only reach a label of the same script. Counters keep their values.
void ObjCmdScriptReset();

// Compiles one line (without its line end) into the next entry of
// sScrContainer and counts it in uwLineCount. `reply` receives the answer or
// error text, empty when there is nothing to say. OBJCMD_OK, OBJCMD_UNKNOWN
// ("What ? line %d: [%s]") or OBJCMD_REFUSED. Lines longer than
// OBJCMD_MAX_LINE and lines with control characters other than tab are
// refused with a reply naming the line. A line of a script file (`inFile`)
// also names its line in the replies that would not say it otherwise.
uint8_t ObjCmdInterpreter(std::string_view line, std::string& reply, bool inFile = false);

// The text HELP writes into the message log.
const char* ObjCmdHelpText();
