// Trace file names: the operator's name rules, the extension that chooses the
// format, and derived names. Paths use "/".
#pragma once
#include <string>

inline constexpr size_t SCOPE_NAME_MAX = 24;  // characters of a typed name, extension included

// 0 valid; 1 25 characters or more; 2 a character other than 0-9, A-Z, a-z,
// "_", "-" and ".".
int ScopeCheckFileName(const std::string& name);
// The path's last four characters lower-cased when the first of them is "."
// (".log", ".loz", ".lo1"); "" otherwise, also for a path shorter than four.
std::string ScopeFileExtension(const std::string& path);
// Lower-cases the extension of ScopeFileExtension in the path itself.
void ScopeLowerExtension(std::string& path);
// The extension of the file name (from its last "." after the last "/",
// lower-cased, with the "."); "" when the name has none.
std::string ScopeNameExtension(const std::string& path);
// `path` with the file name's extension replaced by `extension` (with its
// "."), or with it appended when the name has none; folders stay as they are.
std::string ScopeReplaceExtension(const std::string& path, const std::string& extension);
// The file name of a path (after the last "/").
std::string ScopeBaseName(const std::string& path);
