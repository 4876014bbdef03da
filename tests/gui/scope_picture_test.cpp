// Printing and image export of the scope panel through its menu, every
// dialog answered by the test: the files open, have the size asked for and
// show the trace, the legend and the cursor; failures are logged and leave
// no file.
#include <QColor>
#include <QImage>
#include <QPrinterInfo>
#include <QSvgRenderer>
#include <filesystem>

#include "gui/PanelFixture.h"
#include "scope/ScopeCursor.h"
#include "scope/ScopeDisplay.h"
#include "support/TempDir.h"
#include "support/TraceFixture.h"
#include "ui/PanelIds.h"
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
    QAction* a = Action(uwMcScopePanelHandle, item);
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
    Process();
  }
  QSize Window() { return host->PanelWidget(uwMcScopePanelHandle)->size(); }
  GraphControl* Graph() { return qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH)); }
  std::vector<std::string> Files() {  // besides the panels' configuration
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.path().filename() != "config") names.push_back(e.path().filename().string());
    return names;
  }
};

// Whether `image` holds `colour`, and its longest vertical run of black.
bool Has(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
  return false;
}
int BlackColumn(const QImage& image) {
  int best = 0;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0, run = 0; y < image.height(); ++y)
      best = std::max(best, run = image.pixel(x, y) == 0xFF000000 ? run + 1 : 0);
  return best;
}

TEST_F(ScopePicture, ImagesOpenAtTheSizeAskedWithTraceLegendAndCursor) {
  const struct {
    const char* name;
    int width, height;  // 0: the window's
  } cases[] = {{"a.png", 0, 0}, {"b.PNG", 1600, 900}, {"c.svg", 0, 0}, {"d.svg", 640, 300}};
  std::vector<QRgb> colours{0xFF00FF};  // the first legend, and every plot
  for (const auto& [handle, item] : Graph()->Model().items)
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
      for (QRgb colour : colours) EXPECT_TRUE(Has(png, colour)) << std::hex << colour;
      EXPECT_GT(BlackColumn(png), want.height() / 4);  // the cursor across the analog graph
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
  Menu(SCOPE_MENU_PRINT, {});  // cancelled
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].kind, PopupRequest::FileSelect);
  EXPECT_EQ(popups[0].message, "*.pdf");
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(Log(), "");
  const std::string gone = (dir / "gone").string();
  const struct {
    int item;
    std::string path;
    int width;
    std::string log;
  } failures[] = {
      {SCOPE_MENU_EXPORT_IMAGE, gone + "/a.png", 0,
       "Export image failed: cannot write \"" + gone + "/a.png\": No such file or directory\n"},
      {SCOPE_MENU_EXPORT_IMAGE, gone + ".bmp", 0,
       "Export image failed: \"" + gone + ".bmp\" is neither a .png nor a .svg file\n"},
      {SCOPE_MENU_EXPORT_IMAGE, gone + ".png", 9000,
       "Export image failed: an image of 9000 x 100 pixels is not made (1 to 8192 each way)\n"},
      {SCOPE_MENU_PRINT, gone + "/a.pdf", 0,
       "Print failed: cannot write \"" + gone + "/a.pdf\": No such file or directory\n"},
  };
  for (const auto& f : failures) {
    Menu(f.item, {true, f.path, {}, f.width, 100});
    EXPECT_EQ(Count(Log(), f.log), 1) << Log();
    EXPECT_TRUE(Files().empty()) << f.path;
    ClearLog();
  }
  Menu(SCOPE_MENU_PRINT, {true, (dir / "stroke").string(), {}});
  const std::string pdf = ReadFileBytes((dir / "stroke.pdf").string());
  EXPECT_EQ(pdf.substr(0, 4), "%PDF");
  EXPECT_GT(pdf.size(), 1000u);
  EXPECT_EQ(Files(), std::vector<std::string>{"stroke.pdf"});
}

}  // namespace
