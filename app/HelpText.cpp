#include "app/HelpText.h"

#include "objects/OBJCMD.h"

namespace {

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

std::string McycleHelpPanelText() {
  // The HELP command's text ends in one empty line; the notes follow a second.
  std::string text = std::string(ObjCmdHelpText()) + "\n";
  for (const char* line : kUsbNotes) {
    text += line;
    text += '\n';
  }
  return text;
}
