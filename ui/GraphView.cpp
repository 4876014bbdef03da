#include "ui/GraphView.h"

#include <algorithm>
#include <cmath>

void GraphXView::SetHome(double min, double max) {
  if (!std::isfinite(min) || !std::isfinite(max) || !(max > min)) return;
  if (min == homeMin_ && max == homeMax_) return;
  homeMin_ = min;
  homeMax_ = max;
  Fit();
}

void GraphXView::Zoom(double anchor, double factor) {
  if (!std::isfinite(anchor) || !(factor > 0) || !std::isfinite(factor)) return;
  anchor = std::clamp(anchor, min_, max_);
  const double span = std::clamp((max_ - min_) * factor, std::min(minSpan_, homeMax_ - homeMin_),
                                 homeMax_ - homeMin_);
  const double share = max_ > min_ ? (anchor - min_) / (max_ - min_) : 0.5;
  const double lo = anchor - share * span;
  Show(lo, lo + span);
}

void GraphXView::Show(double a, double b) {
  if (!std::isfinite(a) || !std::isfinite(b)) return;
  double lo = std::min(a, b), hi = std::max(a, b);
  const double home = homeMax_ - homeMin_;
  const double span = std::clamp(hi - lo, std::min(minSpan_, home), home);
  const double centre = (lo + hi) / 2;
  lo = centre - span / 2;
  // Slide back inside the home range.
  lo = std::clamp(lo, homeMin_, homeMax_ - span);
  hi = lo + span;
  // Snap to the home ends so a view that reaches them is not "zoomed" by a rounding.
  if (hi - lo >= home) lo = homeMin_, hi = homeMax_;
  min_ = lo;
  max_ = hi;
}
