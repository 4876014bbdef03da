// Loading a script file into the script container.
#pragma once

// Asks for a script file ("Select Scripfile", filters "*.pms;*.scr", default
// "*.pms"), keeps its path in ubCtrlCmdPathBuffer, compiles it line by line
// into the script container and posts signal 5 when that holds entries; a
// file that cannot be opened gives "Can't open File". A line longer than 255
// characters is reported and counts as a rejected line (never split into two
// commands). With `stopAtFirstError` the first rejected line ends the
// loading: its message is shown and nothing is posted. GUI thread; the caller
// has checked the link.
void McycleLoadScriptFile(bool stopAtFirstError);
