// The graph control draws a long waveform from its column envelope: the
// picture must cover the same pixels, column by column, as drawing every
// sample would (within the rounding of the rasteriser), and keep one-sample
// peaks.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <functional>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "gui/PanelFixture.h"
#include "scope/ScopeDisplay.h"
#include "support/TraceFixture.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"
#include "ui/qt/GraphControl.h"

namespace {

constexpr QRgb kInk = 0xFF0000FF;  // the waveform's colour, opaque blue

// Per pixel column of `area`: the top and bottom rows holding ink (-1: none).
std::vector<std::pair<int, int>> Extent(const QImage& image, const QRect& area) {
  std::vector<std::pair<int, int>> out;
  for (int x = area.left(); x <= area.right(); ++x) {
    int top = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
      if (image.pixel(x, y) == kInk) {
        if (top < 0) top = y;
        bottom = y;
      }
    out.emplace_back(top, bottom);
  }
  return out;
}

GraphModel Model(std::vector<double> y) {
  GraphModel m;
  GraphItem w;
  w.kind = GraphItem::Waveform;
  w.colour = 0x0000FF;
  w.y = std::move(y);
  m.min[GRAPH_AXIS_X] = 0;
  m.max[GRAPH_AXIS_X] = static_cast<double>(w.y.size());
  m.min[GRAPH_AXIS_LEFT] = -120;
  m.max[GRAPH_AXIS_LEFT] = 120;
  m.items.emplace_back(1, std::move(w));
  return m;
}

TEST(GraphControlTest, EnvelopeCoversWhatEveryPointWouldCover) {
  std::vector<double> y(65535);
  for (size_t i = 0; i < y.size(); ++i) y[i] = 100 * std::sin(static_cast<double>(i) * 0.003);
  y[30001] = 119;   // one-sample spikes
  y[45000] = -119;
  const GraphModel model = Model(y);
  const QRect bounds(0, 0, 900, 300);
  const QRect area = GraphPlotArea(bounds, model);

  QImage envelope(bounds.size(), QImage::Format_ARGB32);
  {
    QPainter p(&envelope);
    GraphPaint(p, bounds, model);
  }
  QImage reference(bounds.size(), QImage::Format_ARGB32);
  reference.fill(Qt::white);
  {
    QPainter p(&reference);
    p.setClipRect(area);
    GraphPaintPolyline(p, area, model, model.items[0].second);
  }
  const auto a = Extent(envelope, area);
  const auto b = Extent(reference, area);
  ASSERT_EQ(a.size(), b.size());
  int compared = 0;
  for (size_t c = 1; c + 1 < a.size(); ++c) {
    if (b[c].first < 0) continue;
    ++compared;
    ASSERT_GE(a[c].first, 0) << "column " << c << " lost";
    // Rasterising one long stroke and many short segments rounds the ends
    // differently by up to a pixel each way.
    EXPECT_NEAR(a[c].first, b[c].first, 2) << "column " << c;
    EXPECT_NEAR(a[c].second, b[c].second, 2) << "column " << c;
  }
  EXPECT_GT(compared, area.width() - 4);
  // The spikes reach the top and the bottom of the plot area.
  const int spikeColumn = static_cast<int>(30001.0 / 65535 * area.width());
  bool top = false;
  for (int c = spikeColumn - 1; c <= spikeColumn + 1; ++c) top |= a[static_cast<size_t>(c)].first <= area.top() + 3;
  EXPECT_TRUE(top);
}

// Two graphs over one time axis, 500 px of plot area each, showing frames
// 0 .. 1000: pixel column px of the area is frame 2 * px.
struct LinkedGraphs {
  GraphControl a, b;
  explicit LinkedGraphs(size_t frames = 1000) {
    for (GraphControl* g : {&a, &b}) {
      g->resize(564, 200);  // 52 px of labels left, 12 right
      g->SetRange(GRAPH_AXIS_X, 0, 1000);
      Add(*g, frames);
    }
    a.LinkX(&b);
  }
  static void Add(GraphControl& g, size_t frames) {
    GraphItem w;
    w.y.assign(frames, 1.0);
    g.AddItem(1, std::move(w));
  }
  // Widget pixel of x in a's view.
  int Pixel(double x) const {
    return 52 + static_cast<int>(std::lround((x - a.ViewMin()) * 500 / (a.ViewMax() - a.ViewMin())));
  }
  void Wheel(double x, int notches) {
    QWheelEvent e(QPointF(Pixel(x), 100), QPointF(Pixel(x), 100), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&a, &e);
  }
  void Drag(Qt::MouseButton button, Qt::KeyboardModifiers mods, int fromPx, int toPx) {
    QTest::mousePress(&a, button, mods, QPoint(fromPx, 100));
    QTest::mouseMove(&a, QPoint((fromPx + toPx) / 2, 100));
    QTest::mouseMove(&a, QPoint(toPx, 100));
    QTest::mouseRelease(&a, button, mods, QPoint(toPx, 100));
  }
};

TEST(GraphControlTest, ZoomPanAndFitMoveBothLinkedGraphs) {
  LinkedGraphs g;
  struct Step {
    const char* what;
    std::function<void()> act;
    double min, max;
  } const steps[] = {
      // A notch zooms by a fifth and keeps frame 250 under the pointer.
      {"wheel in", [&] { g.Wheel(250, 1); }, 50, 850},
      {"rubber band", [&] { g.Drag(Qt::LeftButton, Qt::NoModifier, 102, 352); }, 130, 530},
      {"band of 3 px is a click", [&] { g.Drag(Qt::LeftButton, Qt::NoModifier, 200, 203); }, 130, 530},
      // 400 frames over 500 px: dragging 100 px moves 80 frames.
      {"middle drag", [&] { g.Drag(Qt::MiddleButton, Qt::NoModifier, 352, 252); }, 210, 610},
      {"shift drag", [&] { g.Drag(Qt::LeftButton, Qt::ShiftModifier, 252, 352); }, 130, 530},
      {"pan stops at the start", [&] { g.Drag(Qt::MiddleButton, Qt::NoModifier, 100, 550); }, 0, 400},
      {"wheel out stops at the whole range", [&] { g.Wheel(100, -10); }, 0, 1000},
      {"deep zoom stops at four frames", [&] { g.Wheel(500, 60); }, 498, 502},
      {"Home", [&] { QTest::keyClick(&g.a, Qt::Key_Home); }, 0, 1000},
      {"Fit on the other graph", [&] { g.Wheel(500, 3), g.b.Fit(); }, 0, 1000},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_NEAR(g.a.ViewMin(), s.min, 1e-6) << s.what;
    EXPECT_NEAR(g.a.ViewMax(), s.max, 1e-6) << s.what;
    EXPECT_EQ(g.b.ViewMin(), g.a.ViewMin()) << s.what;
    EXPECT_EQ(g.b.ViewMax(), g.a.ViewMax()) << s.what;
    EXPECT_EQ(g.a.Model().min[GRAPH_AXIS_X], g.a.ViewMin()) << s.what;  // what is painted
  }
  EXPECT_FALSE(g.a.Zoomed() || g.b.Zoomed());
}

TEST(GraphControlTest, RedrawKeepsTheZoomOnlyForTheSameTrace) {
  LinkedGraphs g;
  g.Wheel(500, 2);
  g.a.SetRange(GRAPH_AXIS_LEFT, -5, 5);  // the value axes are the logic's
  const double min = g.a.ViewMin(), max = g.a.ViewMax();
  ASSERT_TRUE(g.a.Zoomed());
  // The logic redraws the same trace: range, delete all, plots again.
  for (GraphControl* c : {&g.a, &g.b}) {
    c->SetRange(GRAPH_AXIS_X, 0, 1000);
    c->DeleteItem(-1);
    LinkedGraphs::Add(*c, 1000);
  }
  EXPECT_EQ(g.a.ViewMin(), min);
  EXPECT_EQ(g.b.ViewMax(), max);
  EXPECT_EQ(g.a.Model().min[GRAPH_AXIS_LEFT], -5);
  // A trace of another length drops the zoom on both graphs.
  g.a.DeleteItem(-1);
  LinkedGraphs::Add(g.a, 900);
  EXPECT_FALSE(g.a.Zoomed() || g.b.Zoomed());
  // So does another range from the axis controls.
  g.Wheel(500, 2);
  g.a.SetRange(GRAPH_AXIS_X, 0, 2000);
  EXPECT_EQ(g.a.ViewMax(), 2000);
  EXPECT_FALSE(g.b.Zoomed());

  // Plots come and go by handle.
  g.a.AddItem(4, GraphItem{});
  g.a.DeleteItem(1);
  ASSERT_EQ(g.a.Model().items.size(), 1u);
  EXPECT_EQ(g.a.Model().items[0].first, 4);
}

// A text is a message at a place of the window ("Trigger is freezed!"): the
// zoom moves the data under it, never the text.
TEST(GraphControlTest, TextsKeepTheirPlaceInTheWindowWhenZoomed) {
  LinkedGraphs g;
  GraphItem text;
  text.kind = GraphItem::Text, text.colour = 0xFF0000, text.x1 = 20, text.y1 = 80, text.text = "freezed";
  g.a.AddItem(2, std::move(text));
  const auto firstRedColumn = [&] {
    const QImage image = g.a.grab().toImage();
    for (int x = 0; x < image.width(); ++x)
      for (int y = 0; y < image.height(); ++y)
        if (qRed(image.pixel(x, y)) > 160 && qGreen(image.pixel(x, y)) < 96) return x;
    return -1;
  };
  const int home = firstRedColumn();
  EXPECT_NEAR(home, g.Pixel(20), 4);
  g.Wheel(800, 6);
  ASSERT_GT(g.a.ViewMin(), 100);
  EXPECT_EQ(firstRedColumn(), home);
}

// The scope panel: a right click reads the frame under the pointer in the
// zoomed view; the digital graph follows the zoom, the menu's Fit undoes it.
class ScopeZoomTest : public PanelFixture {
 protected:
  void TearDown() override {
    TraceClearAll();
    PanelFixture::TearDown();
  }
  GraphControl* Graph(int control) {
    return qobject_cast<GraphControl*>(host->ControlObject(uwMcScopePanelHandle, control));
  }
};

TEST_F(ScopeZoomTest, CursorReadsTheFrameOfTheZoomedView) {
  TraceMake(TraceVariant::P0528, 2000);
  ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
  // The time axis over all 2000 frames.
  PanelSetDouble(uwMcScopePanelHandle, SCOPE_NUM_TIME_AXIS, 2000 * ScopeSamplePeriod(ScopeSelectedTrace()) / 15);
  PanelDisplay(uwMcScopePanelHandle);
  ScopeTraceDisplay(0);
  Process();
  GraphControl* analog = Graph(SCOPE_GRAPH);
  GraphControl* digital = Graph(SCOPE_GRAPH_DIGITAL);
  ASSERT_TRUE(analog && digital);
  const QRect area = analog->PlotArea();
  const double home = analog->ViewMax();
  analog->ZoomAt(area.left() + area.width() / 2, 0.1);
  const double min = analog->ViewMin(), max = analog->ViewMax();
  ASSERT_NEAR(max - min, 200, 1e-9);
  EXPECT_EQ(digital->ViewMin(), min);

  struct Click {
    int x;  // pixel of the plot area
    bool read;
  } const clicks[] = {{0, true}, {area.width() / 3, true}, {area.width(), true}, {area.width() + 5, false}};
  double expected = -1;
  for (const Click& c : clicks) {
    QTest::mouseClick(analog, Qt::RightButton, {}, area.topLeft() + QPoint(c.x, 10));
    Process();
    double frame = 0;
    PanelGetDouble(uwMcTraceInfoPanelHandle, TRACE_INFO_NUM_FRAME, frame);
    // Outside the plot area the readout keeps the frame before.
    if (c.read) expected = std::floor(min + (max - min) * c.x / area.width());
    EXPECT_EQ(frame, expected) << c.x;
  }
  // The click redrew the analog plots: the zoom stays.
  EXPECT_EQ(analog->ViewMin(), min);
  QAction* fit = Action(uwMcScopePanelHandle, SCOPE_MENU_FIT);
  ASSERT_NE(fit, nullptr);
  fit->trigger();
  Process();
  EXPECT_FALSE(analog->Zoomed() || digital->Zoomed());
  EXPECT_EQ(analog->ViewMax(), home);
}

}  // namespace
