// A controller that dies in the middle of an operation (the simulator killed):
// a trace download, a macro upload, a macro read into a file, a script of
// object reads, the position monitor. Each ends with its message in the log
// window, leaves no file behind, and the program works with the next
// controller.
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "app/Startup.h"
#include "engine/McycleMachines.h"
#include "engine/McycleMemory.h"
#include "gui/SimSession.h"
#include "macro/macro.h"
#include "scope/ScopeDownload.h"
#include "support/PrivateNetwork.h"

namespace {

class DyingSimulatorTest : public SimSessionTest, public ::testing::WithParamInterface<SessionLink> {
 protected:
  void PrepareProgramDirectory() override {
    mcModuleHooks = McycleProgramHooks();
    SimSessionTest::PrepareProgramDirectory();
  }
  void StartSims() override { StartSimOn(GetParam(), kSimOptions); }
  // The files of the test's folder (its configuration folder aside).
  std::set<std::string> Files() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.path().filename() != "config") names.insert(entry.path().filename().string());
    return names;
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << text;
    return path;
  }
  // The example macro assembled into the folder as the operator does it on
  // the macro panel.
  void CompileExample() {
    Choose(MAIN_MENU_MACRO);
    Click(uwMcMacroPanelHandle, MACRO_CMD_NEW);
    answer = {true, (dir / "proj.mac").string()};
    Click(uwMcMacroPanelHandle, MACRO_CMD_SAVE);
    Click(uwMcMacroPanelHandle, MACRO_CMD_COMPILE);
    ASSERT_TRUE(std::filesystem::exists(dir / "proj.mbi"));
    popups.clear();
  }
  void UploadExample() {
    CompileExample();
    if (HasFatalFailure()) return;
    ClearSaid();
    Click(uwMcMacroPanelHandle, MACRO_CMD_UPLOAD);
    ASSERT_TRUE(Until([&] { return Idle() && Said("Memory Upload: Write completed succesfully!\n"); })) << log;
  }
  bool Said(const std::string& text) {
    std::string box;
    PanelGetString(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG, box);
    log = Log();
    return (log + box).find(text) != std::string::npos;
  }
  void ClearSaid() {
    ClearLog();
    PanelClearText(uwMcMacroPanelHandle, MACRO_TXTBOX_MSG);
    log.clear();
  }

  static inline const std::vector<std::string> kSimOptions = {"--variant", "p0528", "--scope", "1500"};
  int polled = 0;   // position requests before the operation
  std::string log;  // the log window
};

struct Death {
  const char* name;
  std::function<void()> before;  // what must be in place first
  std::function<void()> start;
  std::function<bool()> midway;  // the moment the controller dies
  const char* says;
  // On USB the device is seen gone first, whatever ran: the link closes and
  // the operation ends with it.
  bool usbSaysOnlyGone = false;
  bool keepsTheChannel = false;  // the channel ring refuses a change meanwhile
};

bool Machine(uint8_t machine) { return (uwMcycleState >> 8) == machine; }

TEST_P(DyingSimulatorTest, EachEndsWithItsMessageAndTheNextControllerWorks) {
  if (GetParam() == SessionLink::Udp && !privateNetwork.empty()) GTEST_SKIP() << privateNetwork;
  const auto nothing = [] {};
  const Death deaths[] = {
      {"trace download", nothing,
       [&] {
         Choose(MAIN_MENU_SCOPE);
         Click(uwMcScopePanelHandle, SCOPE_CMD_DOWNLOAD);
       },
       [] { return Machine(MC_MACHINE_SCOPE_DOWNLOAD) && uwMcScopeBlockCnt >= 5; }, "ERROR: Scope Transmission Error\n"},
      {"macro upload", [&] { CompileExample(); },
       [&] {
         answer = {true, (dir / "proj.mbi").string()};
         Choose(MAIN_MENU_MACRO_UPLOAD);
       },
       [] { return Machine(MC_MACHINE_MEMORY) && udMcMacDataCounter > 0; }, "Memory Upload: Write Error!\n"},
      {"macro read into a file", [&] { UploadExample(); },
       [&] {
         answer = {true, (dir / "back.mbi").string()};
         Click(uwMcMacroPanelHandle, MACRO_CMD_DOWNLOAD);
       },
       [] { return Machine(MC_MACHINE_MEMORY) && udMcMacDataCounter > 0; }, "Memory Download: Read Error!\n"},
      {"script of object reads", [&] { Write("reads.scr", "label 1\nrd 0x2002 0\nrd 0x2004 0\ngoto 1\n"); },
       [&] {
         answer = {true, (dir / "reads.scr").string()};
         Choose(MAIN_MENU_RUN_SCRIPT);
       },
       [&] { return Said("RD(D)  2004[00] = 12345678"); }, "Transmission ERROR\n", false, true},
      {"position monitor", nothing, [&] { Click(main, MAIN_BIN_SW_POS_MON_ON); }, [&] { return Seen("2002 00") > polled; },
       "Position monitor: no answer, switched off\n", true},
  };
  for (const Death& d : deaths) {
    SCOPED_TRACE(d.name);
    Connect(GetParam());
    if (HasFatalFailure()) return;
    // The position monitor stays off but where it is the operation.
    if (Button(main, MAIN_BIN_SW_POS_MON_ON)->isChecked()) Click(main, MAIN_BIN_SW_POS_MON_ON);
    ASSERT_TRUE(Until([] { return Idle() && ubCyclicDataState == 0; }));
    d.before();
    if (HasFatalFailure()) return;
    const std::set<std::string> files = Files();
    polled = Seen("2002 00");
    ClearSaid();
    d.start();
    ASSERT_TRUE(Until(d.midway)) << log;
    if (d.keepsTheChannel) {
      const uint8_t link = ubCqDataChannel;
      ChooseRing(main, MAIN_RING_COM_CHANNEL, COM_RING_NONE);
      EXPECT_TRUE(Said("Channel not changed: an operation is running (Esc stops a script)\n")) << log;
      EXPECT_EQ(ubCqDataChannel, link);
    }
    sim->Kill();
    const bool usb = GetParam() == SessionLink::Usb;
    EXPECT_TRUE(Until([&] { return Idle() && ((usb && d.usbSaysOnlyGone) || Said(d.says)); }, 10000)) << log;
    if (usb) {
      EXPECT_TRUE(Until([&] { return Said("USB Device disconnected!\n"); })) << log;
    }
    EXPECT_EQ(Files(), files);  // nothing half-written, no temporary left

    // The next controller: a plain object read.
    StartSimOn(GetParam(), kSimOptions);
    ASSERT_NE(sim, nullptr);
    Connect(GetParam());
    if (HasFatalFailure()) return;
    ClearSaid();
    answer = {true, Write("one.scr", "rd 0x2002 0\n")};
    Choose(MAIN_MENU_RUN_SCRIPT);
    EXPECT_TRUE(Until([&] { return Idle() && Said("RD(W)  2002[00] = 1234 = 4660\n"); })) << log;
    std::filesystem::remove(dir / "one.scr");
  }
}

INSTANTIATE_TEST_SUITE_P(Links, DyingSimulatorTest,
                         ::testing::Values(SessionLink::Serial, SessionLink::Usb, SessionLink::Udp),
                         [](const auto& info) {
                           return info.param == SessionLink::Serial ? "Serial" : info.param == SessionLink::Usb ? "Usb" : "Udp";
                         });

}  // namespace
