#include "sim/SimStroke.h"

#include <algorithm>
#include <cmath>

namespace {

struct Timeline {
  double start, fast, slow, press, dwell, back;  // end of each phase, ms
};

// ms to cover `distance` hundredths of a millimetre at `speed` mm/s.
double Duration(int distance, int speed) { return speed > 0 && distance > 0 ? distance * 10.0 / speed : 0.0; }

Timeline Phases(const SimStrokeModel& m) {
  Timeline t;
  const int slowAt = std::max(m.top, m.bottom - m.slowDown);
  const int contactAt = std::max(slowAt, m.bottom - m.contact);
  t.start = m.leadMs;
  t.fast = t.start + Duration(slowAt - m.top, m.speedDown);
  t.slow = t.fast + Duration(contactAt - slowAt, m.speedSlow);
  t.press = t.slow + Duration(m.bottom - contactAt, m.speedPress);
  t.dwell = t.press + m.dwellMs;
  t.back = t.dwell + Duration(m.bottom - m.top, m.speedUp);
  return t;
}

struct Motion {
  double position;  // hundredths of a millimetre
  int speed;        // mm/s, down positive
  uint8_t phase;
  double progress;  // 0..1 through the phase
};

Motion At(const SimStrokeModel& m, const Timeline& t, double ms) {
  const int slowAt = std::max(m.top, m.bottom - m.slowDown);
  const int contactAt = std::max(slowAt, m.bottom - m.contact);
  auto along = [&](double from, double to, double t0, double t1, int speed, uint8_t phase) {
    const double f = t1 > t0 ? (ms - t0) / (t1 - t0) : 1.0;
    return Motion{from + (to - from) * f, speed, phase, f};
  };
  if (ms < t.start || ms >= t.back) return {static_cast<double>(m.top), 0, kSimIdle, 0};
  if (ms < t.fast) return along(m.top, slowAt, t.start, t.fast, m.speedDown, kSimFast);
  if (ms < t.slow) return along(slowAt, contactAt, t.fast, t.slow, m.speedSlow, kSimSlow);
  if (ms < t.press) return along(contactAt, m.bottom, t.slow, t.press, m.speedPress, kSimPress);
  if (ms < t.dwell) return {static_cast<double>(m.bottom), 0, kSimDwell, (ms - t.press) / std::max(1.0, m.dwellMs)};
  return along(m.bottom, m.top, t.dwell, t.back, -m.speedUp, kSimReturn);
}

// Pressure of a channel as a fraction 0..1 of its range, by phase.
double Pressure(int channel, const Motion& s, double ms) {
  switch (channel) {
    case 0:  // high-pressure side: builds while pressing, held in the dwell
      if (s.phase == kSimPress) return 0.05 + 0.80 * s.progress;
      if (s.phase == kSimDwell) return 0.85;
      if (s.phase == kSimReturn) return std::max(0.02, 0.85 - 8 * s.progress);
      return s.phase == kSimSlow ? 0.05 : 0.02;
    case 1:  // low-pressure side: carries the approach and the return
      if (s.phase == kSimFast || s.phase == kSimReturn) return 0.45;
      if (s.phase == kSimSlow) return 0.30;
      return s.phase == kSimIdle ? 0.10 : 0.20;
    case 2:  // annulus: the return side
      if (s.phase == kSimReturn) return 0.60;
      if (s.phase == kSimPress || s.phase == kSimDwell) return 0.05 + 0.35 * (s.phase == kSimDwell ? 1 : s.progress);
      return 0.08;
    default:  // supply pressure with the pump's ripple
      return 0.50 + 0.02 * std::sin(ms / 7.0);
  }
}

uint16_t Counts(const SimStrokeModel& m, double fraction) {
  const double v = m.analogLow + (m.analogHigh - m.analogLow) * std::clamp(fraction, 0.0, 1.0);
  return static_cast<uint16_t>(std::lround(v));
}

void Put16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

std::vector<SimStrokeSample> SimStrokeGenerate(const SimStrokeModel& m, size_t frames, double sampleMs) {
  std::vector<SimStrokeSample> out(frames);
  const Timeline t = Phases(m);
  for (size_t i = 0; i < frames; ++i) {
    const double ms = static_cast<double>(i) * sampleMs;
    const Motion s = At(m, t, ms);
    SimStrokeSample& f = out[i];
    f.ram = static_cast<int16_t>(std::lround(s.position));
    f.cmd = static_cast<int16_t>(std::lround(At(m, t, ms + m.followingError).position));
    f.mot = static_cast<int16_t>(f.ram + m.motorOffset);
    f.speed = static_cast<int16_t>(s.speed);
    const bool cycle = s.phase != kSimIdle;
    f.mcState = cycle ? static_cast<uint16_t>(m.cycle << 8 | s.phase) : 0;
    const bool below = f.ram > m.switchAt;
    f.digOut = static_cast<uint16_t>((s.phase == kSimFast ? 0x0001 : 0) | (s.phase == kSimSlow ? 0x0002 : 0) |
                                     (s.phase == kSimPress || s.phase == kSimDwell ? 0x0004 : 0) |
                                     (s.phase == kSimReturn ? 0x0010 : 0) | (below ? m.switchBit : 0));
    const bool starting = cycle && ms < t.start + 20;
    f.digIn = static_cast<uint16_t>(0x1000 | 0x0020 | (cycle ? 0x0004 | 0x0008 : 0) | (starting ? 0x0010 : 0));
    for (int c = 0; c < 4; ++c) f.ana[c] = Counts(m, Pressure(c, s, ms));
    f.posWord = static_cast<uint16_t>((s.phase == kSimFast ? 0x0001 : 0) | (s.phase == kSimSlow ? 0x0002 : 0) |
                                      (s.phase == kSimPress ? 0x0004 : 0) | (s.phase == kSimReturn ? 0x0008 : 0) |
                                      (cycle ? 0x0100 : 0) |
                                      (s.phase == kSimPress || s.phase == kSimDwell ? 0x0200 : 0) |
                                      (below ? 0x0400 : 0) | (s.phase == kSimReturn ? 0x0800 : 0));
  }
  return out;
}

double SimStrokeTimeAt(const SimStrokeModel& m, int position, bool down) {
  const Timeline t = Phases(m);
  if (!down) return t.dwell + Duration(m.bottom - std::max(position, m.top), m.speedUp);
  const int slowAt = std::max(m.top, m.bottom - m.slowDown);
  const int contactAt = std::max(slowAt, m.bottom - m.contact);
  const int p = std::clamp(position, m.top, m.bottom);
  if (p <= slowAt) return t.start + Duration(p - m.top, m.speedDown);
  if (p <= contactAt) return t.fast + Duration(p - slowAt, m.speedSlow);
  return t.slow + Duration(p - contactAt, m.speedPress);
}

bool SimStrokeRamGap(size_t frame, size_t frames) {
  const size_t gaps[3][2] = {{frames / 10, 3}, {frames * 3 / 10, 5}, {frames * 6 / 10, 20}};
  for (const auto& g : gaps)
    if (frame >= g[0] && frame < g[0] + g[1]) return true;
  return frames >= 20 && frame >= frames - frames / 20;
}

void SimStrokeEncode(const std::vector<SimStrokeSample>& samples, const SimScopeEncoding& e, uint8_t* out) {
  const size_t n = samples.size();
  for (size_t i = 0; i < n; ++i) {
    const SimStrokeSample& s = samples[i];
    uint8_t* f = out + i * 16;
    std::fill(f, f + 16, 0);
    if (e.layout == SimScopeLayout::P0417) {
      Put16(f + 0, s.ram * 10 / std::max<int>(1, e.lmsResol));
      Put16(f + 2, s.mot * 10 / std::max<int>(1, e.motResol));
      Put16(f + 4, s.mcState);
      Put16(f + 8, s.digIn);
      Put16(f + 10, s.digOut);
      Put16(f + 12, s.ana[0]);
      Put16(f + 14, s.speed);
      continue;
    }
    const bool quill = e.layout == SimScopeLayout::Quill;
    const int mux = static_cast<int>(i % 4);
    const int w0 = !e.interleaved ? s.posWord : (mux % 2 ? s.mot : s.cmd);
    const bool gap = quill && e.ramGaps && SimStrokeRamGap(i, n);
    // A Quill sends its positions as they are; the tool mirrors them.
    Put16(f + 0, w0);
    Put16(f + 2, gap ? 0 : s.ram);
    Put16(f + 4, s.mcState);
    Put16(f + 6, s.digIn);
    Put16(f + 8, s.digOut);
    Put16(f + 10, s.ana[0]);
    Put16(f + 12, mux < 3 ? s.ana[mux + 1] : 0);
    const uint16_t word = mux < 2 ? e.ramtype : e.status;
    f[14] = static_cast<uint8_t>(mux % 2 ? word >> 8 : word);
    f[15] = static_cast<uint8_t>(mux);
  }
}

SimStrokeModel SimScopeTraceModel(SimScopeLayout layout, int trace, bool oneTraceQuill, const SimStrokeShape& shape) {
  SimStrokeModel m;
  m.switchBit = layout == SimScopeLayout::P0417 ? 0x0008 : layout == SimScopeLayout::Quill ? 0x0100 : 0x0040;
  if (layout == SimScopeLayout::P0417) m.analogLow = 0, m.analogHigh = 1023;
  if (layout == SimScopeLayout::Quill && oneTraceQuill) m.analogLow = 819, m.analogHigh = 4095;
  if (trace == 1) {  // a forming stroke, not as deep
    m.cycle = 0x14;
    m.bottom = 5500;
    m.leadMs = 60;
  }
  if (shape.travel) {
    // A short travel keeps most of it for the fast approach.
    m.top = shape.top;
    m.bottom = shape.bottom;
    m.slowDown = std::min(m.slowDown, (m.bottom - m.top) / 4);
    m.contact = std::min(m.contact, (m.bottom - m.top) / 20);
  }
  if (shape.speedDown > 0) m.speedDown = shape.speedDown;
  if (shape.speedUp > 0) m.speedUp = shape.speedUp;
  if (shape.dwellMs >= 0) m.dwellMs = shape.dwellMs;
  if (shape.switchSet) m.switchAt = shape.switchAt;
  switch (shape.fault) {
    case SimStrokeFault::OtherCycle: m.cycle = 30; break;
    case SimStrokeFault::Shallow: m.bottom = m.top + 40; break;
    case SimStrokeFault::NoReturn: m.dwellMs = 1e9; break;
    case SimStrokeFault::None: break;
  }
  return m;
}
