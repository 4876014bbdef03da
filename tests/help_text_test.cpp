// The help panel's text.
#include <gtest/gtest.h>

#include <sstream>

#include "app/HelpText.h"

namespace {

TEST(HelpTextTest, CommandSummaryLayout) {
  const std::string s = McycleCommandSummary();
  EXPECT_EQ(s.rfind("Help:\n\n- wrb [addr] [index] [data]\n       write byte from object directory\n", 0), 0u);
  EXPECT_NE(s.find("- dos [dosCmd]\n       execute dos command; user must set the \n"
                   "       path to cmd.exe or command.com\n- trace_download\n"),
            std::string::npos);
  EXPECT_NE(s.find("- trace_save [filename]\n       save trace file; \n       filename: JJMMTT-hhmmss-filename.log \n"
                   "       meta string: $date = date; $time = time\n"),
            std::string::npos);
  // Every line after the heading is a command or a description indented by seven blanks.
  std::istringstream in(s.substr(7));
  std::string line;
  int commands = 0;
  while (std::getline(in, line)) {
    if (line.rfind("- ", 0) == 0) ++commands;
    else EXPECT_EQ(line.rfind("       ", 0), 0u) << line;
  }
  EXPECT_EQ(commands, 26);
  const std::string last = "- log_close\n       close object log file\n";
  EXPECT_EQ(s.substr(s.size() - last.size()), last);
}

TEST(HelpTextTest, UsbNotesFollowAfterTwoEmptyLines) {
  const std::string s = McycleHelpPanelText();
  const std::string summary = McycleCommandSummary();
  EXPECT_EQ(s.compare(0, summary.size(), summary), 0);
  EXPECT_EQ(s.compare(summary.size(), 18, "\n\nUSB connection:\n"), 0);
  EXPECT_NE(s.find("cdc_acm"), std::string::npos);
  EXPECT_NE(s.find("dialout"), std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 19), "Connect USB to RC7\n");
}

}  // namespace
