// Text of the help panel: the command summary and the USB notes.
#pragma once
#include <string>

// "Help:", an empty line, then each command line with its description lines
// indented by seven blanks.
std::string McycleCommandSummary();
// The command summary, two empty lines and the notes on the USB connection.
std::string McycleHelpPanelText();
