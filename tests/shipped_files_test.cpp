// Where the program finds the files shipped with it: beside itself in the
// build tree, in the installed tree's folders when it lies in <prefix>/bin.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

class ShippedFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::path(testing::TempDir()) / ("strokedesk-shipped-" + std::to_string(::getpid()));
    fs::remove_all(root);
  }
  void TearDown() override { fs::remove_all(root); }
  void Make(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "shipped\n";
  }
  fs::path root;
};

TEST_F(ShippedFilesTest, BuildTreeAndInstalledTree) {
  const std::string build = (root / "build").string();
  const std::string bin = (root / "usr/bin").string();
  const std::string data = (root / "usr/share/strokedesk").string();
  struct Case {
    const char* what;
    std::string programDir;
    std::vector<std::string> made;  // files laid out first
    std::string expected;           // "" when not found
  } cases[] = {
      {"build tree: beside the program", build, {build + "/demo.pms"}, build + "/demo.pms"},
      {"installed: the data folder", bin, {data + "/demo.pms"}, data + "/demo.pms"},
      {"installed: a file beside the program comes first", bin, {bin + "/demo.pms", data + "/demo.pms"},
       bin + "/demo.pms"},
      {"build tree: no installed folder is looked in", build, {root.string() + "/share/strokedesk/demo.pms"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root);
    fs::create_directories(c.programDir);
    for (const std::string& f : c.made) Make(f);
    std::string why;
    EXPECT_EQ(ShippedFile(ShippedKind::Data, "demo.pms", why, c.programDir), c.expected);
    EXPECT_EQ(why.empty(), !c.expected.empty()) << why;
  }
}

TEST_F(ShippedFilesTest, TheLibraryComesFromThePrivateLibraryFolder) {
  const std::string bin = (root / "usr/bin").string();
  const std::vector<std::string> folders = ShippedFolders(ShippedKind::Library, bin);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0], bin);
  EXPECT_EQ(folders[1].rfind((root / "usr/lib/").string(), 0), 0u) << folders[1];
  EXPECT_EQ(fs::path(folders[1]).filename(), "strokedesk");
  Make(folders[1] + "/libKsts7.so");
  std::string why;
  EXPECT_EQ(ShippedFile(ShippedKind::Library, "libKsts7.so", why, bin), folders[1] + "/libKsts7.so");
  EXPECT_TRUE(ShippedFile(ShippedKind::Data, "libKsts7.so", why, bin).empty());
}

TEST_F(ShippedFilesTest, AMissingFileNamesEveryFolderLookedIn) {
  const std::string bin = (root / "opt/sd/bin").string();
  fs::create_directories(bin);
  std::string why;
  EXPECT_EQ(ShippedFile(ShippedKind::Data, "norl_mac.inc", why, bin), "");
  EXPECT_EQ(why, "norl_mac.inc not found; looked in " + bin + " and " + (root / "opt/sd/share/strokedesk").string() +
                     " (no such folder)");
  // With the folder there the message only names the places.
  fs::create_directories(root / "opt/sd/share/strokedesk");
  why.clear();
  ShippedFile(ShippedKind::Data, "norl_mac.inc", why, bin);
  EXPECT_EQ(why.find("no such folder"), std::string::npos) << why;
}

}  // namespace
