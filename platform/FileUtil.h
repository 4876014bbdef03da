// File helpers.
#pragma once
#include <cstddef>
#include <string>

// Writes `content` to `path` through a temporary file in the same folder that
// is renamed over the target only when fully written and flushed, so a failure
// never leaves a half-written file in place of a good one. Returns true, or
// false with a reason in `error` (the target is then untouched).
bool FileWriteAtomically(const std::string& path, const std::string& content, std::string& error);

// Reads the whole of `path` into `content`, refusing a file of more than
// `maxBytes` before reading it. `error` holds the errno of a failure.
enum class FileReadResult { Ok, CannotOpen, TooLarge, ReadError };
FileReadResult FileReadAll(const std::string& path, size_t maxBytes, std::string& content, int& error);
