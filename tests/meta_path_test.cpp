// File-name meta strings and the system lines of the start banner.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <regex>

#include "app/SystemInfo.h"
#include "support/EngineFixture.h"

namespace {

const McDateTime kMarch4{2026, 3, 4, 9, 5, 7};

TEST(MetaPathTest, DateAndTimeAreReplaced) {
  char path[64] = "trace_$DATE_$TIME.log";
  ASSERT_EQ(McycleFormatMetaPath(path, sizeof path, kMarch4), 0);
  EXPECT_STREQ(path, "trace_260304_090507.log");

  char many[64] = "$DATE$DATE$TIME$TIME$DATE$TIME/x";
  ASSERT_EQ(McycleFormatMetaPath(many, sizeof many, kMarch4), 0);
  EXPECT_STREQ(many, "260304260304090507090507260304090507/x");

  // Only the exact upper-case strings are meta strings.
  char lower[32] = "$date_$Time_$DAT";
  ASSERT_EQ(McycleFormatMetaPath(lower, sizeof lower, kMarch4), 0);
  EXPECT_STREQ(lower, "$date_$Time_$DAT");
}

TEST(MetaPathTest, AResultThatDoesNotFitIsRefusedAndTheBufferKept) {
  // "a$DATE" needs 7 characters and the terminator: 8 bytes.
  char exact[8] = "a$DATE";
  EXPECT_EQ(McycleFormatMetaPath(exact, sizeof exact, kMarch4), 0);
  EXPECT_STREQ(exact, "a260304");

  char small[7] = "a$DATE";
  EXPECT_EQ(McycleFormatMetaPath(small, sizeof small, kMarch4), 1);
  EXPECT_STREQ(small, "a$DATE");

  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(McycleFormatMetaPath(unterminated, sizeof unterminated, kMarch4), 1);
  EXPECT_EQ(std::memcmp(unterminated, "abcd", 4), 0);
}

class MetaPathLogTest : public EngineFixture {};

TEST_F(MetaPathLogTest, RefusalIsReportedInTheLog) {
  char path[8] = "$DATE$T";
  EXPECT_EQ(McycleGetMetaPath(path, 6), 1);
  Tick();
  EXPECT_NE(Log().find("Path too long after $DATE/$TIME"), std::string::npos);

  char fits[32] = "log_$DATE.txt";
  EXPECT_EQ(McycleGetMetaPath(fits, sizeof fits), 0);
  EXPECT_TRUE(std::regex_match(fits, std::regex("log_[0-9]{6}\\.txt"))) << fits;
}

TEST(SystemInfoTest, TwoDigitYearFromThePcClock) {
  McycleGetSystemDateTime();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(sdMcYear, (local.tm_year + 1900) % 100);
  EXPECT_EQ(sdMcMonth, local.tm_mon + 1);
  EXPECT_GE(sdMcSecond, 0);
  EXPECT_LE(sdMcSecond, 60);
}

TEST(SystemInfoTest, ThreeLinesWithThePlatformName) {
  EXPECT_EQ(McycleSystemInformationText(kMarch4, 5),
            "Date: 2026-03-04\nTime: 09:05:07\nOperating system: unknown: 5\n");
  EXPECT_EQ(McycleOperatingSystemName(PLATFORM_WINDOWS_95), "Windows 95/98");
  EXPECT_EQ(McycleOperatingSystemName(PLATFORM_WINDOWS_2000), "Windows 2000/XP");
  EXPECT_TRUE(std::regex_match(McycleOperatingSystemName(PLATFORM_LINUX), std::regex("Linux .+ \\(.+\\)")))
      << McycleOperatingSystemName(PLATFORM_LINUX);
}

}  // namespace
