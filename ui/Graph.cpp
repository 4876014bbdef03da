#include "ui/Graph.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace {

// floor/ceil of an index position, kept inside [-1, count] before the
// conversion so far-away views never overflow the integer.
long long ClampedIndex(double position, size_t count) {
  if (!(position > -1.0)) return -1;  // also NaN
  if (position > static_cast<double>(count)) return static_cast<long long>(count);
  return static_cast<long long>(position);
}

}  // namespace

void GraphVisibleRange(size_t count, double x0, double dx, double viewMin, double viewMax, size_t& first,
                       size_t& last) {
  first = last = 0;
  if (count == 0 || !(dx > 0) || !(viewMax > viewMin)) return;
  const long long firstInside = ClampedIndex(std::ceil((viewMin - x0) / dx), count);
  const long long lastInside = ClampedIndex(std::floor((viewMax - x0) / dx), count);
  // All samples on one side of the view: nothing of the line crosses it.
  if (firstInside >= static_cast<long long>(count) || lastInside < 0) return;
  const long long lo = firstInside - 1;
  const long long hi = lastInside + 1;
  const long long a = lo < 0 ? 0 : lo;
  const long long b = hi > static_cast<long long>(count) - 1 ? static_cast<long long>(count) - 1 : hi;
  if (a > b) return;
  first = static_cast<size_t>(a);
  last = static_cast<size_t>(b) + 1;
}

namespace {

void Add(GraphColumn& col, double v) {
  if (!col.used) {
    col.used = true;
    col.min = col.max = v;
  } else if (v < col.min) {
    col.min = v;
  } else if (v > col.max) {
    col.max = v;
  }
}

void Extend(std::vector<GraphColumn>& columns, long long c, double v) {
  if (c < 0 || c >= static_cast<long long>(columns.size())) return;
  Add(columns[static_cast<size_t>(c)], v);
}

}  // namespace

void GraphColumnEnvelope(const double* y, size_t count, double x0, double dx, double viewMin, double viewMax,
                         int width, std::vector<GraphColumn>& columns) {
  columns.assign(width > 0 ? static_cast<size_t>(width) : 0, GraphColumn{});
  if (width <= 0) return;
  size_t first = 0, last = 0;
  GraphVisibleRange(count, x0, dx, viewMin, viewMax, first, last);
  const double perColumn = (viewMax - viewMin) / width;
  const double start = (x0 - viewMin) / perColumn;  // column position of sample 0
  const double step = dx / perColumn;
  // Column -1 and `width` stand for left and right of the view.
  auto columnOf = [width](double p) -> long long {
    if (p < 0) return -1;
    return p < width ? static_cast<long long>(p) : width;
  };
  bool havePrevious = false;
  double pa = 0, ya = 0;
  long long ca = 0;
  // The extremes of the run of samples in column ca, kept out of the vector
  // until the line leaves the column.
  double runMin = 0, runMax = 0;
  for (size_t i = first; i < last; ++i) {
    const double v = y[i];
    if (std::isnan(v)) {
      if (havePrevious) Extend(columns, ca, runMin), Extend(columns, ca, runMax);
      havePrevious = false;
      continue;
    }
    const double p = start + static_cast<double>(i) * step;
    const long long c = columnOf(p);
    if (havePrevious && c == ca) {
      runMin = v < runMin ? v : runMin;
      runMax = v > runMax ? v : runMax;
    } else {
      if (havePrevious) {
        Extend(columns, ca, runMin);
        Extend(columns, ca, runMax);
        // The segment from the previous sample crosses the column edges k
        // with pa < k <= p: each edge point belongs to both sides.
        const double from = std::max(std::floor(pa) + 1, 0.0);
        const double to = std::min(std::floor(p), static_cast<double>(width));
        for (double k = from; k <= to; k += 1) {
          const double at = ya + (v - ya) * (k - pa) / (p - pa);
          Extend(columns, static_cast<long long>(k) - 1, at);
          Extend(columns, static_cast<long long>(k), at);
        }
      }
      runMin = runMax = v;
      ca = c;
    }
    havePrevious = true;
    pa = p;
    ya = v;
  }
  if (havePrevious) {
    Extend(columns, ca, runMin);
    Extend(columns, ca, runMax);
  }
}

namespace {

void Merge(GraphColumn& col, const GraphColumn& block) {
  if (!block.used) return;
  Add(col, block.min);
  Add(col, block.max);
}

// Min/max of the numbers among y[a, b): whole aligned blocks from the
// pyramid, the ragged ends (under 2^first level samples each) one by one.
GraphColumn RangeExtremes(const GraphPyramid& pyramid, const double* y, size_t a, size_t b) {
  GraphColumn acc;
  const size_t levels = pyramid.levels.size();
  constexpr size_t kFirst = size_t{1} << kGraphPyramidFirstLevel;
  size_t i = a;
  while (i < b) {
    if (levels == 0 || i % kFirst != 0 || i + kFirst > b) {
      if (!std::isnan(y[i])) Add(acc, y[i]);
      ++i;
      continue;
    }
    size_t j = 0;
    while (j + 1 < levels) {
      const size_t size = kFirst << (j + 1);
      if (i % size != 0 || i + size > b) break;
      ++j;
    }
    Merge(acc, pyramid.levels[j][i >> (kGraphPyramidFirstLevel + j)]);
    i += kFirst << j;
  }
  return acc;
}

// The value of y[lo..hi] when the smallest pyramid block holding them is one
// constant without a gap (a lane that does not switch): no sample is read.
bool ConstantOver(const GraphPyramid& pyramid, size_t lo, size_t hi, double& value) {
  const int level = std::max(kGraphPyramidFirstLevel, static_cast<int>(std::bit_width(lo ^ hi)));
  const size_t j = static_cast<size_t>(level - kGraphPyramidFirstLevel);
  if (j >= pyramid.levels.size() || (lo >> level) >= pyramid.levels[j].size()) return false;
  const GraphBlock& block = pyramid.levels[j][lo >> level];
  if (!block.used || block.gap || block.min != block.max) return false;
  value = block.min;
  return true;
}

}  // namespace

void GraphPyramidBuild(const double* y, size_t count, GraphPyramid& pyramid) {
  pyramid.levels.clear();
  constexpr size_t kFirst = size_t{1} << kGraphPyramidFirstLevel;
  // Only whole blocks: the tail of the samples is read one by one.
  std::vector<GraphBlock> level(count / kFirst);
  for (size_t b = 0; b < level.size(); ++b) {
    for (size_t i = b * kFirst; i < (b + 1) * kFirst; ++i) {
      if (!std::isnan(y[i])) Add(level[b], y[i]);
      else level[b].gap = true;
    }
  }
  while (!level.empty()) {
    std::vector<GraphBlock> up(level.size() / 2);
    for (size_t b = 0; b < up.size(); ++b) {
      Merge(up[b], level[2 * b]);
      Merge(up[b], level[2 * b + 1]);
      up[b].gap = level[2 * b].gap || level[2 * b + 1].gap;
    }
    pyramid.levels.push_back(std::move(level));
    level = std::move(up);
  }
}

void GraphPyramidEnvelope(const GraphPyramid& pyramid, const double* y, size_t count, double x0, double dx,
                          double viewMin, double viewMax, int width, std::vector<GraphColumn>& columns) {
  size_t first = 0, last = 0;
  GraphVisibleRange(count, x0, dx, viewMin, viewMax, first, last);
  const double perColumn = width > 0 ? (viewMax - viewMin) / width : 0;
  const double start = (x0 - viewMin) / perColumn;
  const double step = dx / perColumn;
  // Under two samples a column: the line itself is as cheap.
  if (width <= 0 || last <= first || !(step <= 0.5))
    return GraphColumnEnvelope(y, count, x0, dx, viewMin, viewMax, width, columns);
  columns.assign(static_cast<size_t>(width), GraphColumn{});
  // The positions exactly as GraphColumnEnvelope computes them, so both
  // put every sample into the same column.
  auto at = [start, step](size_t i) { return start + static_cast<double>(i) * step; };
  // edge[c]: the first visible sample at or right of column edge c.
  std::vector<size_t> edge(static_cast<size_t>(width) + 1);
  size_t from = first;
  for (int c = 0; c <= width; ++c) {
    const double guess = std::ceil((c - start) / step);
    size_t i = from;
    if (guess >= static_cast<double>(last)) i = last;
    else if (guess > static_cast<double>(from)) i = static_cast<size_t>(guess);
    while (i > from && at(i - 1) >= c) --i;
    while (i < last && at(i) < c) ++i;
    edge[static_cast<size_t>(c)] = from = i;
  }
  // A column whose samples and both neighbours lie in one constant block
  // is that constant, crossings included.
  std::vector<char> constant(static_cast<size_t>(width), 0);
  std::vector<double> value(static_cast<size_t>(width), 0);
  for (int c = 0; c < width; ++c) {
    const size_t a = edge[static_cast<size_t>(c)], b = edge[static_cast<size_t>(c) + 1];
    if (a >= b) continue;
    const size_t u = static_cast<size_t>(c);
    if (ConstantOver(pyramid, a > first ? a - 1 : a, b < last ? b : b - 1, value[u])) {
      constant[u] = 1;
      Add(columns[u], value[u]);
    } else {
      Merge(columns[u], RangeExtremes(pyramid, y, a, b));
    }
  }
  // Where the line crosses an edge, the crossing point belongs to both sides.
  for (int c = 0; c <= width; ++c) {
    const size_t i = edge[static_cast<size_t>(c)];
    if (i <= first || i >= last) continue;
    double cross;
    if (c < width && constant[static_cast<size_t>(c)]) {
      cross = value[static_cast<size_t>(c)];
    } else if (c > 0 && constant[static_cast<size_t>(c) - 1]) {
      cross = value[static_cast<size_t>(c) - 1];
    } else {
      if (std::isnan(y[i - 1]) || std::isnan(y[i])) continue;
      const double pa = at(i - 1), p = at(i), ya = y[i - 1], v = y[i];
      cross = ya + (v - ya) * (c - pa) / (p - pa);
    }
    Extend(columns, c - 1, cross);
    Extend(columns, c, cross);
  }
}

void GraphItemPrepare(GraphItem& item) {
  if (item.kind != GraphItem::Waveform) return;
  auto cache = std::make_shared<GraphEnvelopeCache>();
  GraphPyramidBuild(item.y.data(), item.y.size(), cache->pyramid);
  item.envelope = std::move(cache);
}

const std::vector<GraphColumn>& GraphItemColumns(const GraphItem& item, double viewMin, double viewMax, int width,
                                                 std::vector<GraphColumn>& scratch) {
  GraphEnvelopeCache* cache = item.envelope.get();
  if (!cache) {
    GraphColumnEnvelope(item.y.data(), item.y.size(), item.x0, item.dx, viewMin, viewMax, width, scratch);
    return scratch;
  }
  if (!cache->valid || cache->viewMin != viewMin || cache->viewMax != viewMax || cache->width != width) {
    GraphPyramidEnvelope(cache->pyramid, item.y.data(), item.y.size(), item.x0, item.dx, viewMin, viewMax, width,
                         cache->columns);
    cache->valid = true;
    cache->viewMin = viewMin;
    cache->viewMax = viewMax;
    cache->width = width;
  }
  return cache->columns;
}

int GraphLabelDecimals(double min, double max, int divisions, int every) {
  constexpr int kMost = 6;
  const double span = max - min;
  if (!std::isfinite(span) || span == 0 || divisions <= 0 || every <= 0) return 0;
  const double step = std::fabs(span) * every / divisions;
  const int apart = std::clamp(static_cast<int>(std::ceil(-std::log10(step))) + 1, 0, kMost);
  for (int d = 0; d <= std::min(apart + 2, kMost); ++d) {
    const double unit = std::pow(10.0, -d);
    bool exact = true;
    for (int i = 0; i <= divisions && exact; i += every) {
      const double v = min + span * i / divisions;
      exact = std::fabs(v - std::round(v / unit) * unit) <= 1e-9 * std::max(1.0, std::fabs(v));
    }
    if (exact) return d;
  }
  return apart;
}

std::string GraphLabel(double v, int decimals) {
  if (!std::isfinite(v)) return "";
  decimals = std::clamp(decimals, 0, 6);
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
  if (error != std::errc()) return "";
  std::string label(text, end);
  if (label.find('.') != std::string::npos) {
    label.erase(label.find_last_not_of('0') + 1);
    if (label.back() == '.') label.pop_back();
  }
  if (label.find_first_not_of("-0") == std::string::npos) return "0";
  return label;
}
