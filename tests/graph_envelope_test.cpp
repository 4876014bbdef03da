// Column envelope of long waveforms: no sample's extreme may be lost, and no
// view may index outside the samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ui/Graph.h"

namespace {

TEST(GraphEnvelopeTest, EveryColumnHoldsTheExtremesOfItsSamples) {
  // 1000 samples over 10 columns: 100 per column.
  std::vector<double> y(1000);
  for (size_t i = 0; i < y.size(); ++i) y[i] = std::sin(static_cast<double>(i) * 0.05) * 10;
  y[437] = 99;   // a one-sample spike in column 4
  y[812] = -99;  // and a dip in column 8
  std::vector<GraphColumn> cols;
  GraphColumnEnvelope(y.data(), y.size(), 0, 1, 0, 1000, 10, cols);
  ASSERT_EQ(cols.size(), 10u);
  for (int c = 0; c < 10; ++c) {
    // The column's samples and the line on to the next column's first one.
    double lo = 1e9, hi = -1e9;
    for (int i = c * 100; i <= std::min((c + 1) * 100, 999); ++i) {
      lo = std::min(lo, y[static_cast<size_t>(i)]);
      hi = std::max(hi, y[static_cast<size_t>(i)]);
    }
    ASSERT_TRUE(cols[static_cast<size_t>(c)].used) << c;
    EXPECT_EQ(cols[static_cast<size_t>(c)].min, lo) << c;
    EXPECT_EQ(cols[static_cast<size_t>(c)].max, hi) << c;
  }
  EXPECT_EQ(cols[4].max, 99);
  EXPECT_EQ(cols[8].min, -99);
}

TEST(GraphEnvelopeTest, OnlyTheViewCountsAndStartAndStepAreHonoured) {
  // Samples at x = 100, 102, 104, ...; view 110..130 over 4 columns of 5.
  std::vector<double> y(50);
  for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<double>(i);
  std::vector<GraphColumn> cols;
  GraphColumnEnvelope(y.data(), y.size(), 100, 2, 110, 130, 4, cols);
  ASSERT_EQ(cols.size(), 4u);
  // Column 0 covers x 110..115: samples 5, 6, 7 (x 110, 112, 114) and the
  // line to x 116 crossing the edge at 7.5.
  EXPECT_EQ(cols[0].min, 5);
  EXPECT_DOUBLE_EQ(cols[0].max, 7.5);
  EXPECT_DOUBLE_EQ(cols[1].min, 7.5);
  EXPECT_DOUBLE_EQ(cols[3].min, 12.5);  // entering at x 125
  EXPECT_DOUBLE_EQ(cols[3].max, 15);    // leaving the view at x 130
  // Sparse data: the line still passes through the columns between samples.
  const double sparse[3] = {0, 10, 0};
  GraphColumnEnvelope(sparse, 3, 0, 10, 0, 30, 30, cols);
  int used = 0;
  for (const auto& c : cols) used += c.used;
  EXPECT_EQ(used, 21);
  EXPECT_EQ(cols[4].min, 4);
  EXPECT_EQ(cols[4].max, 5);
}

TEST(GraphEnvelopeTest, NanBreaksTheLineAndOddViewsAreHarmless) {
  std::vector<double> y = {1, std::numeric_limits<double>::quiet_NaN(), 3, 4};
  std::vector<GraphColumn> cols;
  GraphColumnEnvelope(y.data(), y.size(), 0, 1, 0, 4, 2, cols);
  EXPECT_EQ(cols[0].min, 1);
  EXPECT_EQ(cols[0].max, 1);  // no line from 1 across the gap
  EXPECT_EQ(cols[1].min, 3);
  EXPECT_EQ(cols[1].max, 4);

  const double far = 1e300;
  for (auto view : {std::pair{far, 2 * far}, std::pair{-2 * far, -far}, std::pair{5.0, 5.0}, std::pair{5.0, 1.0},
                    std::pair{-far, far}}) {
    GraphColumnEnvelope(y.data(), y.size(), 0, 1, view.first, view.second, 100, cols);
    ASSERT_EQ(cols.size(), 100u);
  }
  GraphColumnEnvelope(y.data(), y.size(), 0, 0, 0, 4, 2, cols);  // no step
  EXPECT_FALSE(cols[0].used || cols[1].used);
  GraphColumnEnvelope(y.data(), y.size(), 0, 1, 0, 4, 0, cols);
  EXPECT_TRUE(cols.empty());
}

TEST(GraphEnvelopeTest, VisibleRangeReachesOneSampleBeyondTheView) {
  size_t first = 0, last = 0;
  GraphVisibleRange(100, 0, 1, 10.5, 20.5, first, last);
  EXPECT_EQ(first, 10u);  // x = 10 lies left of the view: the line into it
  EXPECT_EQ(last, 22u);   // up to x = 21
  GraphVisibleRange(100, 0, 1, -50, 1000, first, last);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 100u);
  GraphVisibleRange(100, 0, 1, 200, 300, first, last);
  EXPECT_EQ(first, last);
  GraphVisibleRange(0, 0, 1, 0, 10, first, last);
  EXPECT_EQ(first, last);
}

TEST(GraphEnvelopeTest, PyramidGivesTheColumnsOfEverySample) {
  // Random views over waveforms with spikes and NaN gaps: the pyramid must
  // give exactly what visiting every sample gives.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    size_t count;
    double x0, dx;
    size_t nanEvery;  // 0: none
    int width;
    bool lane;  // a 0/6 step signal with long flat runs instead of a noisy curve
  } const cases[] = {{65535, 0, 1, 0, 1856, false}, {65535, 0, 1, 997, 640, false}, {10000, -50, 0.5, 0, 333, false},
                     {7, 0, 1, 3, 2, false},        {4096, 3, 2, 64, 100, false},   {1, 0, 1, 0, 10, false},
                     {65535, 0, 1, 0, 1856, true},  {65535, 0, 1, 4093, 999, true}};
  std::mt19937 rng(7);
  for (const Case& c : cases) {
    std::vector<double> y(c.count);
    std::uniform_real_distribution<double> noise(-1, 1);
    for (size_t i = 0; i < y.size(); ++i) {
      y[i] = c.lane ? (i / 777 + i / 5000) % 2 * 6.0 : 50 * std::sin(static_cast<double>(i) * 0.001) + noise(rng);
      if (c.nanEvery && i % c.nanEvery < c.nanEvery / 10 + 1) y[i] = nan;
    }
    if (c.count > 100) y[c.count / 3] = 1000;  // one-sample spike
    GraphPyramid pyramid;
    GraphPyramidBuild(y.data(), y.size(), pyramid);
    const double span = c.dx * static_cast<double>(c.count);
    std::uniform_real_distribution<double> where(c.x0 - span * 0.2, c.x0 + span * 1.1);
    std::uniform_real_distribution<double> zoom(-12, 0.3);
    for (int v = 0; v < 60; ++v) {
      const double lo = v == 0 ? c.x0 : where(rng);
      const double hi = v == 0 ? c.x0 + span : lo + span * std::exp2(zoom(rng));
      std::vector<GraphColumn> expected, got;
      GraphColumnEnvelope(y.data(), y.size(), c.x0, c.dx, lo, hi, c.width, expected);
      GraphPyramidEnvelope(pyramid, y.data(), y.size(), c.x0, c.dx, lo, hi, c.width, got);
      ASSERT_EQ(got.size(), expected.size());
      for (size_t k = 0; k < got.size(); ++k) {
        ASSERT_EQ(got[k].used, expected[k].used) << c.count << " view " << lo << ".." << hi << " column " << k;
        if (!got[k].used) continue;
        ASSERT_EQ(got[k].min, expected[k].min) << c.count << " view " << lo << ".." << hi << " column " << k;
        ASSERT_EQ(got[k].max, expected[k].max) << c.count << " view " << lo << ".." << hi << " column " << k;
      }
    }
  }
}

TEST(GraphEnvelopeTest, ItemColumnsAreCachedUntilTheViewOrWidthChanges) {
  GraphItem item;
  item.y.assign(5000, 1.0);
  item.y[2505] = 7;
  GraphItemPrepare(item);
  std::vector<GraphColumn> scratch;
  const std::vector<GraphColumn>* first = &GraphItemColumns(item, 0, 5000, 100, scratch);
  EXPECT_EQ((*first)[50].max, 7);
  // A copy shares the cache; the same view hands back the same columns.
  const GraphItem copy = item;
  EXPECT_EQ(&GraphItemColumns(copy, 0, 5000, 100, scratch), first);
  // Another view: new columns, not the ones kept for the whole trace.
  const auto& zoomed = GraphItemColumns(item, 2400, 2600, 100, scratch);
  EXPECT_EQ(zoomed[52].max, 7);
  EXPECT_EQ(zoomed[50].max, 1);
  EXPECT_EQ(GraphItemColumns(item, 2400, 2600, 10, scratch).size(), 10u);
  // Without a pyramid the columns come from the samples.
  GraphItem plain;
  plain.y = item.y;
  EXPECT_EQ(&GraphItemColumns(plain, 0, 5000, 100, scratch), &scratch);
  EXPECT_EQ(scratch[50].max, 7);
}

TEST(GraphLabelTest, DecimalsTellNeighboursApartAndKeepRoundLabelsExact) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double min, max;
    int divisions, every, decimals;
  } axes[] = {
      {0, 600, 15, 3, 0},                 // the time axis of a whole trace
      {0, 1234.5, 15, 3, 1},              // 246.9 per label
      {0, 125, 10, 1, 1},                 // 12.5 per division
      {-10, 10, 10, 1, 0},
      {267.8123, 577.0371, 15, 3, 0},     // zoomed: 61.845 per label
      {498.01234, 502.00417, 15, 3, 2},   // zoomed deep: 0.798 per label
      {0, 1e-3, 10, 1, 4},
      {0, 0, 10, 1, 0}, {0, nan, 10, 1, 0}, {0, 100, 0, 1, 0},
  };
  for (const auto& a : axes)
    EXPECT_EQ(GraphLabelDecimals(a.min, a.max, a.divisions, a.every), a.decimals) << a.min << " .. " << a.max;

  const struct {
    double v;
    int decimals;
    const char* label;
  } labels[] = {
      {37.5, 1, "37.5"}, {120, 0, "120"}, {329.6573, 0, "330"}, {0.5, 3, "0.5"},
      {-2.25, 2, "-2.25"}, {-1e-17, 2, "0"}, {-0.4, 0, "0"}, {nan, 2, ""},
  };
  for (const auto& l : labels) EXPECT_EQ(GraphLabel(l.v, l.decimals), l.label) << l.v;
}

}  // namespace
