// Text of the help panel: the command summary and the USB notes.
#pragma once
#include <string>

// The HELP command's summary (ObjCmdHelpText), an empty line and the notes
// on the USB connection.
std::string McycleHelpPanelText();
