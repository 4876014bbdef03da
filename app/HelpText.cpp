#include "app/HelpText.h"

#include <initializer_list>

namespace {

struct HelpEntry {
  const char* command;
  std::initializer_list<const char*> description;
};

const HelpEntry kCommands[] = {
    {"- wrb [addr] [index] [data]", {"write byte from object directory"}},
    {"- wrw [addr] [index] [data]", {"write word from object directory"}},
    {"- wrd [addr] [index] [data]", {"write dword from object directory"}},
    {"- rd [addr] [index]", {"read from object directory"}},
    {"- dly [ms]", {"delay time in ms"}},
    {"- rewind", {"repeat script"}},
    {"- dos [dosCmd]", {"execute dos command; user must set the ", "path to cmd.exe or command.com"}},
    {"- trace_download", {"download trace"}},
    {"- trace_save [filename]",
     {"save trace file; ", "filename: JJMMTT-hhmmss-filename.log ", "meta string: $date = date; $time = time"}},
    {"- trace_path [path name]", {"set path for trace files", "meta string: $date = date; $time = time"}},
    {"- label [number]", {"set jump label number (1-9)"}},
    {"- goto [number]", {"jump to label number (1-9)"}},
    {"- counter_set [cnt_no] [val]", {"set counter cnt_no to value val"}},
    {"- counter_dec [cnt_no]", {"decrement counter cnt_no"}},
    {"- skip_zero [cnt_no]", {"skip next line if cnt_no = 0"}},
    {"- skip_nonzero [cnt_no]", {"skip next line if cnt_no != 0"}},
    {"- stop", {"stop script execution"}},
    {"- mode_expert on", {"expert mode on"}},
    {"- mode_expert off", {"expert mode off"}},
    {"- log_clear", {"clear the program message window"}},
    {"- log_save [filename]", {"save the program message window", "filename: JJMMTT-hhmmss-filename.log"}},
    {"- log_path [pathname]", {"set path for object log files", "meta string: $date = date; $time = time"}},
    {"- log_create [filename]", {"create a object log file", "filename: JJMMTT-hhmmss-filename.log"}},
    {"- log_append [filename]", {"append to a existing object log file"}},
    {"- log_object [addr] [index]", {"read from object directory and save in file"}},
    {"- log_close", {"close object log file"}},
};

// What helps on this system: the controller's USB port is a CDC-ACM serial
// device, which the kernel serves without a driver of ours.
const char* const kUsbNotes[] = {
    "USB connection:",
    "The RC7 shows up as a USB serial device (/dev/ttyACM0, ...),",
    "served by the kernel's CDC-ACM driver (module cdc_acm):",
    "   lsmod | grep cdc_acm     (load it with: sudo modprobe cdc_acm)",
    "Your user needs access to serial devices, the group dialout:",
    "   sudo usermod -aG dialout $USER     (then log in again)",
    "Connect USB to RC7",
};

}  // namespace

std::string McycleCommandSummary() {
  std::string text = "Help:\n\n";
  for (const HelpEntry& e : kCommands) {
    text += e.command;
    text += '\n';
    for (const char* line : e.description) {
      text += "       ";
      text += line;
      text += '\n';
    }
  }
  return text;
}

std::string McycleHelpPanelText() {
  std::string text = McycleCommandSummary() + "\n\n";
  for (const char* line : kUsbNotes) {
    text += line;
    text += '\n';
  }
  return text;
}
