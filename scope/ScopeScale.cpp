#include "scope/ScopeScale.h"

int16_t swScopeZero = 0;
int16_t swScopeYgain = 1000;

double ScopePositionPlot(double v) {
  const double gain = swScopeYgain != 0 ? swScopeYgain / 100.0 : 10.0;
  return (v - swScopeZero / 100.0) * 10.0 / gain;
}
