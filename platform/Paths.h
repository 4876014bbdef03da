// Where the program and the user's files live.
#pragma once
#include <string>

// Directory of the running program (no trailing '/'); "." if unknown.
std::string ProgramDirectory();
// The user's configuration directory for StrokeDesk:
// $XDG_CONFIG_HOME/StrokeDesk, else ~/.config/StrokeDesk; empty without either.
std::string UserConfigDirectory();
// True when `path` names an existing regular file.
bool FileExists(const std::string& path);
