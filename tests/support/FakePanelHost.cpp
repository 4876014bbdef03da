#include "support/FakePanelHost.h"

int FakePanelHost::SetAttribute(int p, int c, PanelAttribute a, int64_t v) {
  int rc = Record(p, c, [&] { attributes[{p, c}][a] = v; });
  if (rc == 0 && a == ATTR_ENABLED && onTimerSwitch) onTimerSwitch(p, c, v != 0);
  return rc;
}

int FakePanelHost::DeleteLastLine(int p, int c) {
  return Record(p, c, [&] {
    std::string& t = texts[{p, c}];
    if (!t.empty() && t.back() == '\n') t.pop_back();
    const size_t cut = t.rfind('\n');
    t.erase(cut == std::string::npos ? 0 : cut + 1);
  });
}
