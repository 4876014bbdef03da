// Printing and image export of the scope panel through its menu, the dialogs
// answered by the test; failures are logged and leave no file.
#include <QImage>
#include <QPrinterInfo>
#include <QSvgRenderer>
#include <set>
#include <tuple>

#include "gui/PanelFixture.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeDisplay.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"
#include "ui/qt/GraphControl.h"

namespace {

class ScopePicture : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    PanelDisplay(uwMcScopePanelHandle);
    Process();
    TraceMake(TraceVariant::P0528, 400);
    ScopeTraceDisplay(0);
    ScopeDisplayMouseData(200, 10, 400);
    Process();
    ClearLog();
  }
  void TearDown() override {
    TraceClearAll();
    PanelFixture::TearDown();
  }
  void Menu(int item, PopupAnswer reply) {
    popups.clear();
    answer = std::move(reply);
    ChooseScope(item);
    Process();
  }
  QSize Window() { return host->PanelWidget(uwMcScopePanelHandle)->size(); }
  std::vector<std::string> Files() {  // besides the panels' configuration
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.path().filename() != "config") names.push_back(e.path().filename().string());
    return names;
  }
};

TEST_F(ScopePicture, ImagesOpenAtTheSizeAskedWithTraceLegendAndCursor) {
  const struct {
    const char* name;
    int width, height;  // 0: the window's
  } cases[] = {{"a.png", 0, 0}, {"b.PNG", 1600, 900}, {"c.svg", 0, 0}, {"d.svg", 640, 300}};
  std::vector<QRgb> colours{0xFF00FF};  // the first legend, and every plot
  auto* graph = qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH));
  for (const auto& [handle, item] : graph->Model().items)
    if (item.kind == GraphItem::Waveform) colours.push_back(static_cast<QRgb>(item.colour));
  ASSERT_GT(colours.size(), 1u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / c.name).string();
    Menu(SCOPE_MENU_EXPORT_IMAGE, {true, path, {}, c.width, c.height});
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, PopupRequest::ImageExport);
    EXPECT_EQ(QSize(popups[0].width, popups[0].height), Window());  // offered first
    EXPECT_EQ(Count(Log(), "Image exported to " + path + "\n"), 1);
    const QSize want = c.width ? QSize(c.width, c.height) : Window();
    QImage png;
    if (png.load(QString::fromStdString(path), "PNG")) {
      EXPECT_EQ(png.size(), want);
      std::set<QRgb> seen;
      int cursor = 0;  // most long black runs in a column: the cursor crosses both graphs
      for (int x = 0; x < png.width(); ++x) {
        int runs = 0;
        for (int y = 0, run = 0; y < png.height(); ++y) {
          seen.insert(png.pixel(x, y) & 0xFFFFFF);
          run = png.pixel(x, y) == 0xFF000000 ? run + 1 : 0;
          runs += run == want.height() / 8;
        }
        cursor = std::max(cursor, runs);
      }
      for (QRgb colour : colours) EXPECT_TRUE(seen.count(colour)) << std::hex << colour;
      EXPECT_EQ(cursor, 2);
      continue;
    }
    const QSvgRenderer svg(QString::fromStdString(path));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.defaultSize(), want);
    // Read back an SVG is drawn smoothed: its colours are looked for in the text.
    const std::string text = ReadFileBytes(path);
    for (QRgb colour : colours) EXPECT_NE(text.find("=\"" + QColor(colour).name().toStdString()), std::string::npos);
  }
}

TEST_F(ScopePicture, PrintWithoutPrinterWritesAPdfAndFailuresLeaveNoFile) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  const std::string gone = (dir / "gone").string();
  const std::tuple<int, std::string, int, std::string> failures[] = {
      {SCOPE_MENU_EXPORT_IMAGE, gone + "/a.png", 0, "Export image failed: cannot write \"" + gone + "/a.png\": No"},
      {SCOPE_MENU_EXPORT_IMAGE, gone + ".bmp", 0, "Export image failed: \"" + gone + ".bmp\" is neither a .png nor"},
      {SCOPE_MENU_EXPORT_IMAGE, gone + ".png", 9000, "Export image failed: an image of 9000 x 100 pixels is not made"},
      {SCOPE_MENU_PRINT, gone + "/a.pdf", 0, "Print failed: cannot write \"" + gone + "/a.pdf\": No such file"},
  };
  for (const auto& [item, path, width, log] : failures) {
    Menu(item, {true, path, {}, width, 100});
    EXPECT_EQ(Count(Log(), log), 1) << Log();
    EXPECT_TRUE(Files().empty()) << path;
    ClearLog();
  }
  Menu(SCOPE_MENU_PRINT, {true, (dir / "stroke").string(), {}});
  EXPECT_EQ(popups.at(0).message, "*.pdf");
  const std::string pdf = ReadFileBytes((dir / "stroke.pdf").string());
  EXPECT_EQ(pdf.substr(0, 4), "%PDF");
  EXPECT_GT(pdf.size(), 1000u);
  EXPECT_EQ(Files(), std::vector<std::string>{"stroke.pdf"});
}

}  // namespace
