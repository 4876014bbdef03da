// Manual pages from a small markdown subset, so a page and the README share
// their tables. The page source:
//   % name(section) -- one-line summary      first line
//   ## Heading / ### Heading                 section / subsection
//   text lines, blank lines between paragraphs; `code`, **bold**, *italic*,
//   [text](link); "- " list items (continued by indented lines); lines
//   indented by four blanks are shown as typed; | tables | (header row
//   first) become tagged paragraphs, first column as the tag;
//   @table FILE NAME                         the table that follows the line
//                                            "<!-- man: NAME -->" in FILE
#pragma once
#include <functional>
#include <string>

// Reads a file named by an @table line: true with its text.
using ManPageReader = std::function<bool(const std::string& file, std::string& text)>;

// The page in roff with the man macros; "" with `error` naming the line (and
// the missing file or table) when the source cannot be converted.
std::string ManPageToRoff(const std::string& source, const std::string& version, const ManPageReader& read,
                          std::string& error);
