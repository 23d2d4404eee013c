// The backend in use, chosen by name.
#include "platform/backend/backend.h"

#include "platform/backend/desktop.h"
#include "platform/clipboard_bridge.h"
#include "platform/shell_execute.h"

namespace {

const Backend* g_current = nullptr;

const Backend* const kBackends[] = {&HeadlessBackend(), &DesktopBackend()};

}  // namespace

std::vector<std::string> BackendNames() {
  std::vector<std::string> names;
  for (const Backend* b : kBackends) names.push_back(b->name);
  return names;
}

bool UseBackend(const std::string& name, std::string* error) {
  for (const Backend* b : kBackends) {
    if (name != b->name) continue;
    CloseBackend();
    if (b->open != nullptr && !b->open(error)) return false;
    g_current = b;
    SetClipboardBridge(b->clipboard);
    SetUrlOpener(b->openUrl);
    return true;
  }
  std::string known;
  for (const std::string& n : BackendNames()) known += (known.empty() ? "" : ", ") + n;
  *error = "no backend named '" + name + "' (there is " + known + ")";
  return false;
}

const Backend& CurrentBackend() { return g_current != nullptr ? *g_current : HeadlessBackend(); }

void CloseBackend() {
  if (g_current != nullptr && g_current->close != nullptr) g_current->close();
  g_current = nullptr;
  SetClipboardBridge(nullptr);
  SetUrlOpener(nullptr);
}
