// Loading a script file into the script container.
#pragma once

// Asks for a script file ("Select Scripfile"), keeps its path in
// ubCtrlCmdPathBuffer, compiles it line by line into the script container and
// posts signal 5 when that holds entries. With `stopAtFirstError` the first
// line the interpreter rejects ends the loading: its message is shown and
// nothing is posted. GUI thread; the caller has checked the link.
void McycleLoadScriptFile(bool stopAtFirstError);
