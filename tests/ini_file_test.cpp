// StrokeDesk.ini: what is read, what is reported, and what is left alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/IniFile.h"
#include "support/EngineFixture.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    dir = fs::temp_directory_path() / ("sd_ini_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int i = 0; i < 4; ++i) host.ints[{1, MAIN_NUM_IP_1 + i}] = 7;  // the panel's defaults
  }
  void TearDown() override {
    fs::remove_all(dir);
    EngineFixture::TearDown();
  }
  void Write(const std::string& text, const fs::path& where = {}) {
    std::ofstream(where.empty() ? dir / INI_FILE_NAME : where / INI_FILE_NAME, std::ios::binary) << text;
  }
  std::vector<int64_t> Ip() {
    std::vector<int64_t> v;
    for (int i = 0; i < 4; ++i) v.push_back(host.ints[{1, MAIN_NUM_IP_1 + i}]);
    return v;
  }
  fs::path dir;
};

TEST_F(IniFileTest, AddressesFillTheFieldsAndAreLogged) {
  Write("[Options]\r\nip_addr=192.168.0.10\r\nsub_net_mask= 255.255.255.0\r\n");  // no [OptionsEnd]
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Ip(), (std::vector<int64_t>{192, 168, 0, 10}));
  const std::string expected = "Init file: StrokeDesk.ini\nInit file path: " + (dir / INI_FILE_NAME).string() +
                               "\nIP-Address:  192.168.0.10\nSubnet mask: 255.255.255.0\n\n";
  EXPECT_EQ(Log(), expected);
}

TEST_F(IniFileTest, ReadingStopsAtOptionsEnd) {
  Write("[Options]\nip_addr=10.0.0.2\n[OptionsEnd]\nip_addr=10.0.0.3\n");
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Ip(), (std::vector<int64_t>{10, 0, 0, 2}));
  EXPECT_EQ(Log().find("10.0.0.3"), std::string::npos);
}

TEST_F(IniFileTest, MissingFile) {
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Log(), "File not found: StrokeDesk.ini\nUsing default parameters and settings\n\n");
  EXPECT_EQ(Ip(), (std::vector<int64_t>{7, 7, 7, 7}));
}

TEST_F(IniFileTest, BadLinesAreReportedAndLeaveTheFieldsAlone) {
  const std::string longLine = "ip_addr=1.2.3.4" + std::string(300, ' ') + "x";
  Write("ip_addr=192.168.0\n"           // line 1: three parts
        "ip_addr=192.168.0.256\n"       // line 2: out of range
        "ip_addr=1.2.3.4.5\n"           // line 3: five parts
        "ip_addr 1.2.3.4\n"             // line 4: no '='
        "ip_addr=-1.2.3.4\n"            // line 5: negative
        + longLine + "\n"               // line 6: longer than the line buffer
        "sub_net_mask=255.255\n");      // line 7
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Ip(), (std::vector<int64_t>{7, 7, 7, 7}));
  const std::string log = Log();
  for (int line = 1; line <= 5; ++line)
    EXPECT_NE(log.find("StrokeDesk.ini line " + std::to_string(line) + ": ip_addr needs four numbers"),
              std::string::npos)
        << line;
  EXPECT_NE(log.find("StrokeDesk.ini line 6: longer than 219 characters; ignored"), std::string::npos);
  EXPECT_NE(log.find("StrokeDesk.ini line 7: sub_net_mask needs four numbers"), std::string::npos);
  EXPECT_EQ(log.find("IP-Address"), std::string::npos);
}

TEST_F(IniFileTest, BadDigitsReadAsZeroAndALineOfExactlyTheLimitIsRead) {
  Write("ip_addr=192.abc.7x.  10\n");
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Ip(), (std::vector<int64_t>{192, 0, 7, 10}));

  std::string limit = "ip_addr=9.8.7.6";
  limit += std::string(INI_LINE_MAX - limit.size(), ' ');
  ASSERT_EQ(limit.size(), INI_LINE_MAX);
  Write(limit + "\n");
  McycleReadIniFile(dir.c_str());
  EXPECT_EQ(Ip(), (std::vector<int64_t>{9, 8, 7, 6}));
}

TEST_F(IniFileTest, TheProgramDirectoryComesFirstThenTheUserConfiguration) {
  const fs::path program = dir / "bin";
  const fs::path config = dir / "config";
  fs::create_directories(program);
  fs::create_directories(config / "StrokeDesk");
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(McycleIniDirectory(program), program);  // neither has one: the missing-file lines name it
  Write("ip_addr=1.1.1.1\n", config / "StrokeDesk");
  EXPECT_EQ(McycleIniDirectory(program), config / "StrokeDesk");
  Write("ip_addr=2.2.2.2\n", program);
  EXPECT_EQ(McycleIniDirectory(program), program);
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
