// Builds one manual page: strokedesk_manpage SOURCE ROOT VERSION OUTPUT.
// Tables named by @table lines are read from files below ROOT (the source
// tree), so the page shows what the README shows.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/FileUtil.h"
#include "tools/ManPageText.h"

namespace {

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s SOURCE ROOT VERSION OUTPUT\n", argv[0]);
    return 2;
  }
  const std::string source = argv[1], root = argv[2], version = argv[3], output = argv[4];
  std::string text, error;
  if (!ReadText(source, text)) {
    std::fprintf(stderr, "%s: cannot read\n", source.c_str());
    return 1;
  }
  const std::string roff = ManPageToRoff(
      text, version, [&](const std::string& file, std::string& t) { return ReadText(root + "/" + file, t); }, error);
  if (roff.empty()) {
    std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
    return 1;
  }
  if (!FileWriteAtomically(output, roff, error)) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
}
