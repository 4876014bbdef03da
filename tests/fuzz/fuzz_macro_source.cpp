// libFuzzer harness: any bytes as a macro source file (.mac). A file that
// decodes must, written back in its format and read again, give the same
// text in the same format.
#include <cstddef>
#include <cstdint>
#include <string>

#include "macro/MacroSource.h"

namespace {

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text, why;
  MacroSourceFormat format;
  if (!MacroSourceDecode(bytes, text, format, why)) {
    Require(!why.empty());
    return 0;
  }
  MacroSourceFormat written = format;
  const std::string file = MacroSourceEncode(text, written);
  Require(written.latin1 == format.latin1);  // a decoded text always fits its own encoding
  std::string again;
  MacroSourceFormat reread;
  Require(MacroSourceDecode(file, again, reread, why));
  Require(again == text && reread.latin1 == written.latin1 && reread.crlf == written.crlf);
  return 0;
}
