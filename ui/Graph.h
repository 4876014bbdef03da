// What a graph control shows, independent of the display: plots on an X axis
// and two Y axes, and the column envelope that lets a long waveform be drawn
// with one vertical stroke per pixel column instead of one segment per point.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum GraphAxis : int { GRAPH_AXIS_X = 0, GRAPH_AXIS_LEFT = 1, GRAPH_AXIS_RIGHT = 2 };

struct GraphEnvelopeCache;

struct GraphItem {
  enum Kind { Waveform, Line, Point, Text } kind = Waveform;
  GraphAxis axis = GRAPH_AXIS_LEFT;  // the Y axis the item is scaled by
  int64_t colour = 0;                // 0xRRGGBB
  std::vector<double> y;             // waveform: y[i] at x0 + i * dx
  double x0 = 0, dx = 1;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; point and text at (x1, y1)
  std::string text;
  int pointSize = 10;
  bool bold = false;
  std::string font;  // text: a font name the control resolves ("NORL": the tool's sans); empty the default
  // Waveforms: the envelope pyramid and the columns of the last view
  // (GraphItemPrepare); copies of the item share it.
  std::shared_ptr<GraphEnvelopeCache> envelope;
};

// The y range the line through the samples covers inside one pixel column.
struct GraphColumn {
  bool used = false;
  double min = 0, max = 0;
};

// Fills `columns` (resized to `width`) for the line through the samples y[i]
// at x0 + i*dx, seen in the view [viewMin, viewMax): column c covers the x
// range [viewMin + c*w, viewMin + (c+1)*w) with w = (viewMax - viewMin) /
// width. A column holds its samples and the points where the line crosses its
// edges, so one vertical stroke per column covers what drawing every segment
// would. Only the visible samples (and one beyond each side) are visited. A
// NaN sample breaks the line. An empty or inverted view, dx <= 0 or
// width <= 0 leaves every column unused.
void GraphColumnEnvelope(const double* y, size_t count, double x0, double dx, double viewMin, double viewMax,
                         int width, std::vector<GraphColumn>& columns);

// Index range [first, last) of the samples inside [viewMin, viewMax], widened
// by one sample on each side so a line leaving the view is still drawn.
void GraphVisibleRange(size_t count, double x0, double dx, double viewMin, double viewMax, size_t& first,
                       size_t& last);

// Min/max of a waveform over aligned blocks of 2^k samples for k from
// kGraphPyramidFirstLevel up, built once per waveform, so that the envelope
// of a view costs the pixel columns rather than the samples in it.
inline constexpr int kGraphPyramidFirstLevel = 3;
struct GraphBlock : GraphColumn {
  bool gap = false;  // a NaN among the block's samples
};
struct GraphPyramid {
  // levels[j]: block b covers samples [b, b + 1) * 2^(j + first level); a
  // block of NaN only is unused.
  std::vector<std::vector<GraphBlock>> levels;
};
void GraphPyramidBuild(const double* y, size_t count, GraphPyramid& pyramid);

// The same columns as GraphColumnEnvelope, taken from the pyramid of y when
// a column holds two samples or more.
void GraphPyramidEnvelope(const GraphPyramid& pyramid, const double* y, size_t count, double x0, double dx,
                          double viewMin, double viewMax, int width, std::vector<GraphColumn>& columns);

struct GraphEnvelopeCache {
  GraphPyramid pyramid;
  bool valid = false;  // columns below are those of this view and width
  double viewMin = 0, viewMax = 0;
  int width = 0;
  std::vector<GraphColumn> columns;
};

// Builds the pyramid of a waveform item (nothing for other kinds).
void GraphItemPrepare(GraphItem& item);
// The columns of a waveform item for a view: from the item's cache when
// the view and the width are those of the last call; an item without a
// cache gets them computed into `scratch`.
const std::vector<GraphColumn>& GraphItemColumns(const GraphItem& item, double viewMin, double viewMax, int width,
                                                 std::vector<GraphColumn>& scratch);

// Axis labels: an axis from min to max in `divisions` divisions, labelled at
// every `every`-th division line. The decimals are enough to tell neighbours
// apart (a zoomed view's division of 61.85 reads 268, 330, 392), or up to
// two more where they write every label exactly (12.5 per division reads
// 12.5, 25, 37.5).
int GraphLabelDecimals(double min, double max, int divisions, int every);
// `v` with that many decimals, trailing zeros dropped, never "-0"; the C
// locale's point whatever the locale.
std::string GraphLabel(double v, int decimals);
