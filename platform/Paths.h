// Where the program and the user's files live.
#pragma once
#include <string>
#include <vector>

// Directory of the running program (no trailing '/'); "." if unknown.
std::string ProgramDirectory();
// The user's configuration directory for StrokeDesk:
// $XDG_CONFIG_HOME/StrokeDesk, else ~/.config/StrokeDesk; empty without either.
std::string UserConfigDirectory();
// True when `path` names an existing regular file.
bool FileExists(const std::string& path);

// Files shipped with the program: data (macro include file and template,
// example scripts) and the private libraries (the real-time timer library).
enum class ShippedKind { Data, Library };

// The folders a shipped file is looked for in, in order: the program's own
// folder (the build tree keeps everything there), then, for a program
// installed in <prefix>/bin, the installed tree's folder for the kind
// (<prefix>/share/strokedesk, <prefix>/lib/<arch>/strokedesk).
std::vector<std::string> ShippedFolders(ShippedKind kind, const std::string& programDirectory);

// Path of the shipped file `name` in the first of those folders that holds
// it; "" when none does, with `why` naming the file and every folder looked
// in, and the folders that do not exist at all.
std::string ShippedFile(ShippedKind kind, const std::string& name, std::string& why,
                        const std::string& programDirectory = ProgramDirectory());
