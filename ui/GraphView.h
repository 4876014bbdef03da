// The X range a graph shows: the home range the logic set, and the part of
// it the operator zoomed or panned to. The view never leaves the home range
// and never gets narrower than the smallest span allowed.
#pragma once

class GraphXView {
 public:
  // A new home range shows all of it; the home it has already keeps the view.
  void SetHome(double min, double max);
  // Back to the whole home range.
  void Fit() { min_ = homeMin_, max_ = homeMax_; }
  // factor < 1 zooms in, > 1 out; the x at `anchor` stays where it is.
  void Zoom(double anchor, double factor);
  // Shows [a, b] (either order), widened to the smallest span.
  void Show(double a, double b);
  void Pan(double delta) { Show(min_ + delta, max_ + delta); }
  void SetMinSpan(double span) { minSpan_ = span > 0 ? span : 0; }

  double Min() const { return min_; }
  double Max() const { return max_; }
  double HomeMin() const { return homeMin_; }
  double HomeMax() const { return homeMax_; }
  bool Zoomed() const { return min_ != homeMin_ || max_ != homeMax_; }

 private:
  double homeMin_ = 0, homeMax_ = 100;
  double min_ = 0, max_ = 100;
  double minSpan_ = 0;
};
