// File helpers.
#pragma once
#include <string>

// Writes `content` to `path` through a temporary file in the same folder that
// is renamed over the target only when fully written and flushed, so a failure
// never leaves a half-written file in place of a good one. Returns true, or
// false with a reason in `error` (the target is then untouched).
bool FileWriteAtomically(const std::string& path, const std::string& content, std::string& error);
