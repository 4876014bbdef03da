// What a graph control shows, independent of the display: plots on an X axis
// and two Y axes, and the column envelope that lets a long waveform be drawn
// with one vertical stroke per pixel column instead of one segment per point.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum GraphAxis : int { GRAPH_AXIS_X = 0, GRAPH_AXIS_LEFT = 1, GRAPH_AXIS_RIGHT = 2 };

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
