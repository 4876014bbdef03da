// Manual pages from their markdown source and the README's tables.
#include <gtest/gtest.h>

#include <map>

#include "tools/ManPageText.h"

namespace {

const std::map<std::string, std::string> kFiles = {
    {"README.md",
     "text\n<!-- man: opts -->\n| Option | Effect |\n|---|---|\n| `-tmout:<ms>` | time-out, `a\\|b` |\n"
     "| `-x` | .starts with a dot |\nafter the table\n"},
    {"empty.md", "<!-- man: opts -->\nno table\n"},
};

std::string Convert(const std::string& source, std::string& error) {
  return ManPageToRoff(source, "1.2", [](const std::string& file, std::string& text) {
    auto it = kFiles.find(file);
    if (it == kFiles.end()) return false;
    text = it->second;
    return true;
  }, error);
}

TEST(ManPageTest, SourceBecomesRoff) {
  struct Case {
    const char* what;
    std::string body;      // after the title line
    std::string expected;  // after the .TH and NAME lines
  } cases[] = {
      {"heading and inline markup", "## See also\n**bold** *it* `-a\\b` [link](x.md)\n",
       ".SH SEE ALSO\n\\fBbold\\fR \\fIit\\fR \\fB\\-a\\eb\\fR link\n"},
      {"paragraphs", "one\n\ntwo\n", "one\n.PP\ntwo\n"},
      {"a leading dot or quote is not a request", ".x\n'y\n", "\\&.x\n\\&'y\n"},
      {"code as typed", "    a -b\n\n    c\n\nnext\n", ".PP\n.RS 4\n.nf\na \\-b\n\nc\n.fi\n.RE\n.PP\nnext\n"},
      {"list item with its continuation", "- first\n  more\n- second\n",
       ".IP \\(bu 2\nfirst more\n.IP \\(bu 2\nsecond\n"},
      {"table of the README, bars in cells kept", "@table README.md opts\n",
       ".TP\n\\fB\\-tmout:<ms>\\fR\ntime-out, \\fBa|b\\fR\n.TP\n\\fB\\-x\\fR\n\\&.starts with a dot\n"},
  };
  for (const Case& c : cases) {
    std::string error;
    const std::string roff = Convert("% tool(1) -- does things\n" + c.body, error);
    const std::string head =
        ".TH TOOL 1 \"\" \"StrokeDesk 1.2\" \"StrokeDesk Manual\"\n.SH NAME\ntool \\- does things\n";
    EXPECT_EQ(roff, head + c.expected) << c.what << ": " << error;
  }
}

TEST(ManPageTest, MissingTablesAndTitlesFailTheBuild) {
  struct Case {
    std::string source;
    std::string error;
  } cases[] = {
      {"no title\n", "line 1: the first line must be \"% name(section) -- summary\""},
      {"% t(1) -- x\n\n@table missing.md opts\n", "line 3: cannot read missing.md"},
      {"% t(1) -- x\n@table README.md other\n", "line 2: no table \"other\" in README.md"},
      {"% t(1) -- x\n@table empty.md opts\n", "line 2: no table \"opts\" in empty.md"},
      {"% t(1) -- x\n@table README.md\n", "line 2: @table needs a file and a table name"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(Convert(c.source, error), "") << c.source;
    EXPECT_EQ(error, c.error) << c.source;
  }
}

}  // namespace
