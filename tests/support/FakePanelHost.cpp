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

int FakePanelHost::InsertListItem(int p, int c, int index, const std::string& label, int64_t value) {
  std::lock_guard<std::mutex> g(lock);
  if (p <= 0) return PANEL_ERR_UNKNOWN;
  auto& items = rings[{p, c}];
  if (index == -1) index = static_cast<int>(items.size());
  if (index < 0 || index > static_cast<int>(items.size())) return PANEL_ERR_UNKNOWN;
  items.insert(items.begin() + index, RingItem{label, value});
  return 0;
}

int FakePanelHost::DeleteListItems(int p, int c, int index, int count) {
  std::lock_guard<std::mutex> g(lock);
  if (p <= 0) return PANEL_ERR_UNKNOWN;
  auto& items = rings[{p, c}];
  const int size = static_cast<int>(items.size());
  if (index < 0 || index > size) return PANEL_ERR_UNKNOWN;
  const int end = (count < 0 || index + count > size) ? size : index + count;
  items.erase(items.begin() + index, items.begin() + end);
  return 0;
}
