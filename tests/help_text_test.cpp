// The help panel's text.
#include <gtest/gtest.h>

#include "app/HelpText.h"
#include "objects/OBJCMD.h"

namespace {

TEST(HelpTextTest, CommandSummaryThenUsbNotesAfterTwoEmptyLines) {
  const std::string s = McycleHelpPanelText();
  std::string summary = ObjCmdHelpText();
  ASSERT_EQ(summary.substr(summary.size() - 2), "\n\n");
  summary.pop_back();
  EXPECT_EQ(s.compare(0, summary.size(), summary), 0);
  EXPECT_EQ(s.compare(summary.size(), 18, "\n\nUSB connection:\n"), 0);
  EXPECT_NE(s.find("cdc_acm"), std::string::npos);
  EXPECT_NE(s.find("dialout"), std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 19), "Connect USB to RC7\n");
}

}  // namespace
