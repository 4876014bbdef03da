#include "objects/OBJCMD.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr const char kHelpText[] =
    "Help:\n\n"
    "- wrb [addr] [index] [data]\n"
    "       write byte from object directory\n"
    "- wrw [addr] [index] [data]\n"
    "       write word from object directory\n"
    "- wrd [addr] [index] [data]\n"
    "       write dword from object directory\n"
    "- rd [addr] [index]\n"
    "       read from object directory\n"
    "- dly [ms]\n"
    "       delay time in ms\n"
    "- rewind\n"
    "       repeat script\n"
    "- dos [dosCmd]\n"
    "       execute dos command; user must set the \n       path to cmd.exe or command.com\n"
    "- trace_download\n"
    "       download trace\n"
    "- trace_save [filename]\n"
    "       save trace file; \n       filename: JJMMTT-hhmmss-filename.loz \n"
    "       meta string: $date = date; $time = time\n"
    "- trace_path [path name]\n"
    "       set path for trace files\n"
    "       meta string: $date = date; $time = time\n"
    "- label [number]\n"
    "       set jump label number (1-9)\n"
    "- goto [number]\n"
    "       jump to label number (1-9)\n"
    "- counter_set [cnt_no] [val]\n"
    "       set counter cnt_no to value val\n"
    "- counter_dec [cnt_no]\n"
    "       decrement counter cnt_no\n"
    "- skip_zero [cnt_no]\n"
    "       skip next line if cnt_no = 0\n"
    "- skip_nonzero [cnt_no]\n"
    "       skip next line if cnt_no != 0\n"
    "- stop\n"
    "       stop script execution\n"
    "- mode_expert on\n"
    "       expert mode on\n"
    "- mode_expert off\n"
    "       expert mode off\n"
    "- log_clear\n"
    "       clear the program message window\n"
    "- log_save [filename]\n"
    "       save the program message window\n       filename: JJMMTT-hhmmss-filename.log\n"
    "- log_path [pathname]\n"
    "       set path for object log files\n"
    "       meta string: $date = date; $time = time\n"
    "- log_create [filename]\n"
    "       create a object log file\n       filename: JJMMTT-hhmmss-filename.log\n"
    "- log_append [filename]\n"
    "       append to a existing object log file\n"
    "- log_object [addr] [index]\n"
    "       read from object directory and save in file\n"
    "- log_close\n"
    "       close object log file\n"
    "\n";

constexpr int64_t kMin32 = -2147483648LL;
constexpr int64_t kMax32 = 0xFFFFFFFFLL;

// One line being compiled.
struct Line {
  std::string_view typed;            // as the operator wrote it
  char buf[OBJCMD_MAX_LINE + 1];     // copy split into words
  char* words[OBJCMD_MAX_WORDS];
  uint8_t count;
  uint16_t number;                   // line number in the script
  bool inFile;                       // a script file's line: say its number
  std::string& reply;
  CtrlCmdEntry* entry;               // the entry being made, or nullptr
};

struct Keyword;
using Handler = uint8_t (*)(Line&, const Keyword&);

struct Keyword {
  const char* name;
  uint8_t minWords;
  uint8_t maxWords;
  bool makesEntry;
  uint32_t flag;   // statement kind of the entry made
  uint8_t length;  // object writes: data width
  Handler handler;
};

__attribute__((format(printf, 2, 3))) void Say(std::string& reply, const char* format, ...) {
  char text[OBJCMD_MAX_LINE + 128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  reply = text;
}

// A script file's reader wants to know where: " in line 3" after the reply.
void SayWhere(Line& l) {
  if (l.inFile) l.reply += " in line " + std::to_string(l.number);
}

uint8_t What(Line& l) {
  Say(l.reply, "What ? [%s]", std::string(l.typed).c_str());
  SayWhere(l);
  return OBJCMD_REFUSED;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if ((x >= 'a' && x <= 'z' ? x - 32 : x) != (y >= 'a' && y <= 'z' ? y - 32 : y)) return false;
  }
  return *a == *b;
}

bool ParseNumber(std::string_view w, int64_t& value) {
  uint64_t u = 0;
  const bool hex = w.size() >= 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X');
  bool negative = false;
  if (hex) {
    w.remove_prefix(2);
  } else if (!w.empty() && (w[0] == '+' || w[0] == '-')) {
    negative = w[0] == '-';
    w.remove_prefix(1);
  }
  if (w.empty()) return false;
  const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), u, hex ? 16 : 10);
  if (ec != std::errc() || end != w.data() + w.size()) return false;
  if (negative) {
    if (u > static_cast<uint64_t>(-kMin32)) return false;
    value = -static_cast<int64_t>(u);
    return true;
  }
  if (u > static_cast<uint64_t>(kMax32)) return false;
  value = static_cast<int64_t>(u);
  return true;
}

bool NumberIn(const char* word, int64_t low, int64_t high, int64_t& value) {
  return ParseNumber(word, value) && value >= low && value <= high;
}

bool ParseFloat(std::string_view w, float& value) {
  if (!w.empty() && w[0] == '+') {
    w.remove_prefix(1);
    if (!w.empty() && w[0] == '-') return false;
  }
  if (w.empty()) return false;
  const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
  return ec == std::errc() && end == w.data() + w.size() && std::isfinite(value);
}

uint8_t SetText(Line& l, std::string_view text) {
  if (CtrlCmdEntrySetText(*l.entry, text) == 0) return OBJCMD_OK;
  Say(l.reply, "Error line %d: out of memory", l.number);
  return OBJCMD_REFUSED;
}

// --- Object access ---------------------------------------------------------------

uint8_t ObjectAddress(Line& l) {
  int64_t index = 0, subIndex = 0;
  if (!NumberIn(l.words[1], 0, 0xFFFF, index) || !NumberIn(l.words[2], 0, 0xFF, subIndex)) return What(l);
  l.entry->uwIndex = static_cast<uint16_t>(index);
  l.entry->ubSubIndex = static_cast<uint8_t>(subIndex);
  return OBJCMD_OK;
}

uint8_t Read(Line& l, const Keyword&) { return ObjectAddress(l); }

uint8_t Write(Line& l, const Keyword& k) {
  int64_t data = 0;
  if (!NumberIn(l.words[3], kMin32, kMax32, data)) return What(l);
  if (ObjectAddress(l) != OBJCMD_OK) return OBJCMD_REFUSED;
  l.entry->ubLength = k.length;
  l.entry->udData = static_cast<uint32_t>(data);  // the queue sends the low `length` bytes
  return OBJCMD_OK;
}

uint8_t WriteFloat(Line& l, const Keyword& k) {
  float value = 0;
  if (!ParseFloat(l.words[3], value)) return What(l);
  if (ObjectAddress(l) != OBJCMD_OK) return OBJCMD_REFUSED;
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  l.entry->ubLength = k.length;
  l.entry->udData = bits;
  l.entry->fValue = value;
  return OBJCMD_OK;
}

// --- Other statements ------------------------------------------------------------

uint8_t FlagOnly(Line&, const Keyword&) { return OBJCMD_OK; }

uint8_t Text(Line& l, const Keyword&) { return SetText(l, l.words[1]); }

uint8_t Path(Line& l, const Keyword&) {
  if (std::strlen(l.words[1]) > OBJCMD_MAX_PATH_ARG) {
    Say(l.reply, "Error: save path to big! (> 200 byte)");
    SayWhere(l);
    return OBJCMD_REFUSED;
  }
  return SetText(l, l.words[1]);
}

uint8_t Value(Line& l, const Keyword&) {
  int64_t v = 0;
  if (!NumberIn(l.words[1], kMin32, kMax32, v)) return What(l);
  l.entry->udData = static_cast<uint32_t>(v);
  return OBJCMD_OK;
}

uint8_t Delay(Line& l, const Keyword&) {
  int64_t ms = 0;
  if (!NumberIn(l.words[1], 0, 0xFFFF, ms)) return What(l);
  l.entry->udData = static_cast<uint32_t>(ms);
  return OBJCMD_OK;
}

// The command runs from its first word to the end of its last one, exactly as
// typed, however the keyword is separated from it.
uint8_t Dos(Line& l, const Keyword&) {
  const size_t start = static_cast<size_t>(l.words[1] - l.buf);
  const char* last = l.words[l.count - 1];
  const size_t end = static_cast<size_t>(last - l.buf) + std::strlen(last);
  return SetText(l, l.typed.substr(start, end - start));
}

// Label number 1..9, or a reply naming the line.
bool LabelNumber(Line& l, int64_t& n, uint8_t& result) {
  if (!ParseNumber(l.words[1], n)) {
    result = What(l);
    return false;
  }
  if (n < 1 || n > 9) {
    Say(l.reply, "Error line %d: Label error (< 1 or > 9)", l.number);
    result = OBJCMD_REFUSED;
    return false;
  }
  return true;
}

uint8_t Label(Line& l, const Keyword&) {
  int64_t n = 0;
  uint8_t result = OBJCMD_OK;
  if (!LabelNumber(l, n, result)) return result;
  uint16_t& target = sScrContainer.uwLabelEntry[n - 1];
  // A second definition would let an earlier GOTO jump forward to it.
  if (target != CTRL_CMD_LABEL_UNDEFINED) {
    Say(l.reply, "Error line %d: label %d already defined", l.number, static_cast<int>(n));
    return OBJCMD_REFUSED;
  }
  target = sScrContainer.uwNumOfEntries;
  l.entry->uwLabel = static_cast<uint16_t>(n);
  return OBJCMD_OK;
}

uint8_t Goto(Line& l, const Keyword&) {
  int64_t n = 0;
  uint8_t result = OBJCMD_OK;
  if (!LabelNumber(l, n, result)) return result;
  if (sScrContainer.uwLabelEntry[n - 1] == CTRL_CMD_LABEL_UNDEFINED) {
    Say(l.reply, "Error line %d: label %d not defined", l.number, static_cast<int>(n));
    return OBJCMD_REFUSED;
  }
  l.entry->uwLabel = static_cast<uint16_t>(n);
  return OBJCMD_OK;
}

uint8_t CounterNumber(Line& l) {
  int64_t c = 0;
  if (!ParseNumber(l.words[1], c)) return What(l);
  if (c < 1 || c > CTRL_CMD_COUNTERS) {
    Say(l.reply, "Error line %d: Counter error (< 1 or > 10)", l.number);
    return OBJCMD_REFUSED;
  }
  l.entry->ubCounter = static_cast<uint8_t>(c);
  return OBJCMD_OK;
}

uint8_t Counter(Line& l, const Keyword&) { return CounterNumber(l); }

uint8_t CounterSet(Line& l, const Keyword&) {
  int64_t v = 0;
  if (!NumberIn(l.words[2], kMin32, kMax32, v)) return What(l);
  if (CounterNumber(l) != OBJCMD_OK) return OBJCMD_REFUSED;
  l.entry->udArg1 = static_cast<uint32_t>(v);
  return OBJCMD_OK;
}

// IF compares with the value of the entry before it, so it can be neither the
// first entry nor use an operator the script machine does not know.
uint8_t If(Line& l, const Keyword&) {
  const char* op = l.words[1];
  const bool known = !std::strcmp(op, "==") || !std::strcmp(op, "!=") || !std::strcmp(op, ">") || !std::strcmp(op, "<");
  int64_t v = 0;
  if (sScrContainer.uwNumOfEntries == 0 || !known || !NumberIn(l.words[2], kMin32, kMax32, v)) return What(l);
  l.entry->udData = static_cast<uint32_t>(v);
  return SetText(l, op);
}

// --- Immediate commands ----------------------------------------------------------

uint8_t Rewind(Line&, const Keyword&) {
  ubMcFlag2 |= MC_FLAG2_SCRIPT_REWIND;
  return OBJCMD_OK;
}

uint8_t Help(Line&, const Keyword&) {
  if (ubMcFlag3 & MC_FLAG3_BATCH_MODE)
    HmiLogWindowOut(kHelpText, uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
  else
    PanelAppendText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, kHelpText);
  return OBJCMD_OK;
}

uint8_t Log(Line& l, const Keyword&) {
  if (EqualsNoCase(l.words[1], "ON")) {
    ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_SCRIPT_LOG_OFF);
    Say(l.reply, "Script logging on");
  } else if (EqualsNoCase(l.words[1], "OFF")) {
    ubMcFlag3 |= MC_FLAG3_SCRIPT_LOG_OFF;
    Say(l.reply, "Script logging off");
  } else {
    return What(l);
  }
  return OBJCMD_OK;
}

uint8_t ModeExpert(Line& l, const Keyword&) {
  if (EqualsNoCase(l.words[1], "ON")) {
    ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
    ubMcFlag4 |= MC_FLAG4_EXPERT_MODE;
    Say(l.reply, "mode expert on");
  } else if (EqualsNoCase(l.words[1], "OFF")) {
    ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_EXPERT_MODE);
    ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_EXPERT_MODE);
    ubMcFlag3 |= MC_FLAG3_SCRIPT_LOG_OFF;
    Say(l.reply, "mode expert off");
  } else {
    return What(l);
  }
  return OBJCMD_OK;
}

// Matched in this order; the first match is handled.
constexpr Keyword kKeywords[] = {
    {"WRB", 4, 4, true, 0, 1, Write},
    {"WRW", 4, 4, true, 0, 2, Write},
    {"WRD", 4, 4, true, 0, 4, Write},
    {"WRF", 4, 4, true, 0, 4, WriteFloat},
    {"RD", 3, 3, true, 0, 0, Read},
    {"RF", 3, 3, true, SCR_FLAG_RF, 0, Read},
    {"DLY", 2, 2, true, SCR_FLAG_DLY, 0, Delay},
    {"REWIND", 1, 1, false, 0, 0, Rewind},
    {"DOS", 2, 10, true, SCR_FLAG_DOS, 0, Dos},
    {"TRACE_DOWNLOAD", 1, 1, true, SCR_FLAG_TRACE_DOWNLOAD, 0, FlagOnly},
    {"TRACE_SAVE", 2, 2, true, SCR_FLAG_TRACE_SAVE, 0, Text},
    {"TRACE_PATH", 2, 2, true, SCR_FLAG_TRACE_PATH, 0, Path},
    {"HELP", 1, 1, false, 0, 0, Help},
    {"LOG", 2, 2, false, 0, 0, Log},
    {"LABEL", 2, 2, true, SCR_FLAG_LABEL, 0, Label},
    {"GOTO", 2, 2, true, SCR_FLAG_GOTO, 0, Goto},
    {"COUNTER_SET", 3, 3, true, SCR_FLAG_COUNTER_SET, 0, CounterSet},
    {"COUNTER_DEC", 2, 2, true, SCR_FLAG_COUNTER_DEC, 0, Counter},
    {"SKIP_ZERO", 2, 2, true, SCR_FLAG_SKIP_ZERO, 0, Counter},
    {"SKIP_NONZERO", 2, 2, true, SCR_FLAG_SKIP_NONZERO, 0, Counter},
    {"STOP", 1, 1, true, SCR_FLAG_STOP, 0, FlagOnly},
    {"LOG_CLEAR", 1, 1, true, SCR_FLAG_LOG_CLEAR, 0, FlagOnly},
    {"LOG_SAVE", 2, 2, true, SCR_FLAG_LOG_SAVE, 0, Text},
    {"IF", 3, 3, true, SCR_FLAG_IF, 0, If},
    {"SCOPE_SAMPLE_TIME", 2, 2, true, SCR_FLAG_SCOPE_SAMPLE_TIME, 0, Value},
    {"SCOPE_AXIS_POS", 2, 2, true, SCR_FLAG_SCOPE_AXIS_POS, 0, Value},
    {"SCOPE_AXIS_GAIN", 2, 2, true, SCR_FLAG_SCOPE_AXIS_GAIN, 0, Value},
    {"MODE_EXPERT", 2, 2, false, 0, 0, ModeExpert},
    {"LOG_PATH", 2, 2, true, SCR_FLAG_LOG_PATH, 0, Path},
    {"LOG_CREATE", 2, 2, true, SCR_FLAG_LOG_CREATE, 0, Text},
    {"LOG_APPEND", 2, 2, true, SCR_FLAG_LOG_APPEND, 0, Text},
    {"LOG_OBJECT", 3, 3, true, SCR_FLAG_LOG_OBJECT, 0, Read},
    {"LOG_CLOSE", 1, 1, true, SCR_FLAG_LOG_CLOSE, 0, FlagOnly},
};

const Keyword* FindKeyword(const char* word) {
  for (const Keyword& k : kKeywords)
    if (EqualsNoCase(word, k.name)) return &k;
  return nullptr;
}

bool IsText(std::string_view line) {
  for (const char c : line) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != '\t') || u == 0x7F) return false;
  }
  return true;
}

}  // namespace

uint8_t ObjCmdScanWords(char* line, uint8_t maxWords, char** words) {
  uint8_t n = 0;
  char* p = line;
  while (n < maxWords) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0' || *p == ';') break;
    words[n++] = p;
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
    if (*p == '\0') break;
    *p++ = '\0';
  }
  return n;
}

int32_t ObjCmdStringToNumber(const char* word, bool* valid) {
  int64_t value = 0;
  const bool ok = word && ParseNumber(word, value);
  if (valid) *valid = ok;
  return ok ? static_cast<int32_t>(static_cast<uint32_t>(value)) : 0;
}

void ObjCmdScriptReset() {
  CtrlCmdEntriesClear(sScrContainer, 0, CTRL_CMD_MAX_ENTRIES);
  sScrContainer.uwNumOfEntries = 0;
  sScrContainer.uwLineCount = 0;
  for (auto& label : sScrContainer.uwLabelEntry) label = CTRL_CMD_LABEL_UNDEFINED;
}

uint8_t ObjCmdInterpreter(std::string_view typed, std::string& reply, bool inFile) {
  reply.clear();
  CtrlCmdContainer& scr = sScrContainer;
  if (scr.uwLineCount == 0xFFFF) {
    Say(reply, "Error: Script file is longer than 65535 lines");
    return OBJCMD_REFUSED;
  }
  Line l{typed, {}, {}, 0, ++scr.uwLineCount, inFile, reply, nullptr};
  if (typed.size() > OBJCMD_MAX_LINE) {
    Say(reply, "Error line %d: line longer than %zu characters", l.number, OBJCMD_MAX_LINE);
    return OBJCMD_REFUSED;
  }
  if (!IsText(typed)) {
    Say(reply, "Error line %d: binary content", l.number);
    return OBJCMD_REFUSED;
  }
  std::memcpy(l.buf, typed.data(), typed.size());
  l.buf[typed.size()] = '\0';
  l.count = ObjCmdScanWords(l.buf, OBJCMD_MAX_WORDS, l.words);
  if (l.count == 0) return OBJCMD_OK;

  const Keyword* k = FindKeyword(l.words[0]);
  if (!k) {
    Say(reply, "What ? line %d: [%s]", l.number, std::string(typed).c_str());
    return OBJCMD_UNKNOWN;
  }
  if (k->makesEntry) {
    if (scr.uwNumOfEntries >= CTRL_CMD_MAX_ENTRIES) {
      Say(reply, "Error: Script file is longer than 2000 lines");
      return OBJCMD_REFUSED;
    }
    l.entry = &scr.entries[scr.uwNumOfEntries];
    CtrlCmdEntryClear(*l.entry);
  }
  if (l.count < k->minWords || l.count > k->maxWords) return What(l);
  const uint8_t result = k->handler(l, *k);
  if (result != OBJCMD_OK || !k->makesEntry) return result;
  l.entry->udFlags = k->flag;
  l.entry->uwLine = l.number;
  ++scr.uwNumOfEntries;
  return OBJCMD_OK;
}

const char* ObjCmdHelpText() { return kHelpText; }
