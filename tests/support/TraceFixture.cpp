#include "support/TraceFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

std::string Dump(const ScopeFrame& f) {
  const auto* b = reinterpret_cast<const uint8_t*>(&f);
  std::string s;
  char hex[4];
  for (size_t i = 0; i < sizeof f; ++i) {
    std::snprintf(hex, sizeof hex, "%02X%s", b[i], i == 15 ? "|" : " ");
    s += hex;
  }
  return s;
}

}  // namespace

void TraceExpectSame(const TraceSnapshot& want, const TraceSnapshot& got, bool geometry) {
  EXPECT_EQ(got.traces, want.traces);
  EXPECT_EQ(got.skipped, want.skipped);
  for (int t = 0; t < want.traces; ++t) {
    SCOPED_TRACE("trace " + std::to_string(t));
    const ScopeTraceDesc &w = want.desc[t], &g = got.desc[t];
    EXPECT_EQ(g.uwFrames, w.uwFrames);
    EXPECT_EQ(g.uwSampleTime, w.uwSampleTime);
    if (geometry) {
      EXPECT_EQ(g.udStatus, w.udStatus);
      EXPECT_EQ(g.uwPostTrg, w.uwPostTrg);
    }
    ASSERT_EQ(got.frames[t].size(), want.frames[t].size());
    for (size_t i = 0; i < want.frames[t].size(); ++i) {
      if (std::memcmp(&got.frames[t][i], &want.frames[t][i], sizeof(ScopeFrame)) == 0) continue;
      ADD_FAILURE() << "frame " << i << "\n want " << Dump(want.frames[t][i]) << "\n got  " << Dump(got.frames[t][i]);
      break;
    }
  }
  EXPECT_EQ(got.desc[0].ubFileFormat, want.desc[0].ubFileFormat);
  EXPECT_EQ(got.flag3, want.flag3);
  EXPECT_EQ(got.flag5, want.flag5);
  EXPECT_EQ(got.scopeFlag, want.scopeFlag);
  EXPECT_EQ(got.fwVersion, want.fwVersion);
  EXPECT_EQ(got.bootVersion, want.bootVersion);
  EXPECT_EQ(got.status1, want.status1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(got.date[i], want.date[i]) << "date/time " << i;
  EXPECT_EQ(got.ramtype, want.ramtype);
  EXPECT_EQ(got.lmsResol, want.lmsResol);
  EXPECT_EQ(got.motResol, want.motResol);
  EXPECT_EQ(got.status0, want.status0);
  EXPECT_EQ(got.mode0, want.mode0);
  EXPECT_EQ(got.mode1, want.mode1);
  EXPECT_EQ(got.rampos, want.rampos);
  EXPECT_EQ(got.motpos, want.motpos);
  for (int w = 0; w < SCOPE_KVO_WORDS; ++w) EXPECT_EQ(got.kvo[w], want.kvo[w]) << "parameter word " << w;
  for (int e = 0; e < SCOPE_INFO_ENTRIES; ++e) EXPECT_EQ(got.info[e], want.info[e]) << "header entry " << e;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(got.pressure[i], want.pressure[i]) << "pressure at 20 mA, ANA" << i;
}
