// Printing and image export of the scope panel through its menu, every
// dialog answered by the test: the files open, have the size asked for and
// show the trace, the legend and the cursor; failures are logged and leave
// no file.
#include <QImage>
#include <QPainter>
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
  void Menu(int item) {
    popups.clear();
    QAction* a = Action(uwMcScopePanelHandle, item);
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
    Process();
  }
  QSize Window() { return host->PanelWidget(uwMcScopePanelHandle)->size(); }
  GraphControl* Graph() { return qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, SCOPE_GRAPH)); }
  // Files the test folder holds besides the panels' configuration.
  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.path().filename() != "config") names.push_back(e.path().filename().string());
    return names;
  }
};

bool Has(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
  return false;
}

// The longest vertical run of black pixels in any column.
int LongestBlackColumn(const QImage& image) {
  int best = 0;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0, run = 0; y < image.height(); ++y) {
      run = (image.pixel(x, y) & 0xFFFFFF) == 0 ? run + 1 : 0;
      best = std::max(best, run);
    }
  return best;
}

TEST_F(ScopePicture, ExportedImagesOpenAtTheSizeAskedAndShowTraceLegendAndCursor) {
  struct Case {
    const char* name;
    int width, height;  // 0: the window's
  } const cases[] = {
      {"stroke.png", 0, 0}, {"stroke-big.PNG", 1600, 900}, {"stroke.svg", 0, 0}, {"stroke-small.svg", 640, 300}};
  // What the graph shows: every plot colour must appear in the picture.
  std::vector<QRgb> colours;
  for (const auto& [handle, item] : Graph()->Model().items)
    if (item.kind == GraphItem::Waveform) colours.push_back(static_cast<QRgb>(item.colour));
  ASSERT_FALSE(colours.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / c.name).string();
    answer = {true, path, {}, c.width, c.height};
    Menu(SCOPE_MENU_EXPORT_IMAGE);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, PopupRequest::ImageExport);
    EXPECT_EQ(QSize(popups[0].width, popups[0].height), Window());  // offered: the window's size
    EXPECT_EQ(Count(Log(), "Image exported to " + path + "\n"), 1) << Log();
    const QSize want = c.width ? QSize(c.width, c.height) : Window();
    QImage image;
    if (std::string(c.name).ends_with("svg")) {
      QSvgRenderer svg(QString::fromStdString(path));
      ASSERT_TRUE(svg.isValid());
      EXPECT_EQ(svg.defaultSize(), want);
      image = QImage(want, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      svg.render(&painter);
    } else {
      ASSERT_TRUE(image.load(QString::fromStdString(path), "PNG"));
      EXPECT_EQ(image.size(), want);
    }
    for (QRgb colour : colours) EXPECT_TRUE(Has(image, colour)) << std::hex << colour;
    EXPECT_TRUE(Has(image, 0xFF00FF));  // the first legend
    // The cursor line crosses the analog graph's plot area, top to bottom.
    EXPECT_GT(LongestBlackColumn(image), want.height() / 4);
  }
}

TEST_F(ScopePicture, WithoutPrinterThePrintGoesToAPdfFile) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  answer = {};  // cancelled: nothing written, nothing logged
  Menu(SCOPE_MENU_PRINT);
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].kind, PopupRequest::FileSelect);
  EXPECT_EQ(popups[0].message, "*.pdf");
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(Log(), "");

  answer = {true, (dir / "stroke").string(), {}};
  Menu(SCOPE_MENU_PRINT);
  const std::string pdf = ReadFileBytes((dir / "stroke.pdf").string());
  EXPECT_EQ(pdf.substr(0, 4), "%PDF");
  EXPECT_GT(pdf.size(), 1000u);
  EXPECT_EQ(Files(), std::vector<std::string>{"stroke.pdf"});
}

TEST_F(ScopePicture, FailuresAreLoggedAndLeaveNoFile) {
  struct Case {
    PopupRequest::Kind dialog;
    int item;
    std::string path;
    int width, height;
    std::string log;
  } const cases[] = {
      {PopupRequest::ImageExport, SCOPE_MENU_EXPORT_IMAGE, (dir / "gone" / "a.png").string(), 0, 0,
       "Export image failed: cannot write \"" + (dir / "gone" / "a.png").string() + "\": No such file or directory\n"},
      {PopupRequest::ImageExport, SCOPE_MENU_EXPORT_IMAGE, (dir / "a.bmp").string(), 0, 0,
       "Export image failed: \"" + (dir / "a.bmp").string() + "\" is neither a .png nor a .svg file\n"},
      {PopupRequest::ImageExport, SCOPE_MENU_EXPORT_IMAGE, (dir / "a.png").string(), 9000, 100,
       "Export image failed: an image of 9000 x 100 pixels is not made (1 to 8192 each way)\n"},
      {PopupRequest::FileSelect, SCOPE_MENU_PRINT, (dir / "gone" / "a.pdf").string(), 0, 0,
       "Print failed: cannot write \"" + (dir / "gone" / "a.pdf").string() + "\": No such file or directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    if (c.item == SCOPE_MENU_PRINT && !QPrinterInfo::availablePrinters().isEmpty()) continue;
    answer = {true, c.path, {}, c.width, c.height};
    Menu(c.item);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].kind, c.dialog);
    EXPECT_EQ(Log(), c.log);
    EXPECT_TRUE(Files().empty());
    ClearLog();
  }
}

}  // namespace
