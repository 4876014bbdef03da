// The graph control draws a long waveform from its column envelope: the
// picture must cover the same pixels, column by column, as drawing every
// sample would (within the rounding of the rasteriser), and keep one-sample
// peaks.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

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

TEST(GraphControlTest, ItemsAndRangesOfTheWidget) {
  GraphControl graph;
  GraphItem text;
  text.kind = GraphItem::Text;
  text.text = "hello";
  graph.AddItem(3, text);
  graph.AddItem(4, text);
  graph.SetRange(GRAPH_AXIS_RIGHT, -5, 5);
  EXPECT_EQ(graph.Model().items.size(), 2u);
  EXPECT_EQ(graph.Model().min[GRAPH_AXIS_RIGHT], -5);
  graph.DeleteItem(3);
  ASSERT_EQ(graph.Model().items.size(), 1u);
  EXPECT_EQ(graph.Model().items[0].first, 4);
  graph.DeleteItem(-1);
  EXPECT_TRUE(graph.Model().items.empty());
}

}  // namespace
