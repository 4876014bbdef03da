#include "ui/Graph.h"

#include <algorithm>
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

void Extend(std::vector<GraphColumn>& columns, long long c, double v) {
  if (c < 0 || c >= static_cast<long long>(columns.size())) return;
  GraphColumn& col = columns[static_cast<size_t>(c)];
  if (!col.used) {
    col.used = true;
    col.min = col.max = v;
  } else if (v < col.min) {
    col.min = v;
  } else if (v > col.max) {
    col.max = v;
  }
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
