// ShellExecuteEx: the URL goes to the backend, which opens it in the
// desktop's browser or, headless, records it.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "platform/shell_execute.h"
#include "platform/shellapi.h"
#include "platform/window/utf8.h"

extern char** environ;

namespace {

std::vector<std::string> g_opened;
bool (*g_open)(const std::string& url) = nullptr;

bool SameAsciiNoCase(LPCWSTR a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    char16_t x = *a >= u'A' && *a <= u'Z' ? static_cast<char16_t>(*a + 32) : *a;
    if (x != static_cast<unsigned char>(*b)) return false;
  }
  return *a == 0 && *b == 0;
}

}  // namespace

bool IsWebUrl(const std::string& url) {
  auto starts = [&](const char* scheme) {
    size_t n = std::char_traits<char>::length(scheme);
    if (url.size() <= n) return false;
    for (size_t i = 0; i < n; ++i) {
      char c = url[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c != scheme[i]) return false;
    }
    return true;
  };
  if (!starts("http://") && !starts("https://")) return false;
  for (char c : url)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  return true;
}

bool SpawnBrowser(const std::string& url) {
  // The URL is one argument of xdg-open, never seen by a shell.
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  // xdg-open hands the URL on and exits soon; reap it so it leaves no zombie.
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SetUrlOpener(bool (*open)(const std::string& url)) { g_open = open; }

const std::vector<std::string>& OpenedUrls() { return g_opened; }
void ClearOpenedUrls() { g_opened.clear(); }

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
  if (info == nullptr ||
      (info->cbSize != SHELLEXECUTEINFO_HANDHELD_SIZE && info->cbSize != sizeof(SHELLEXECUTEINFO)))
    return FALSE;
  if (info->lpFile == nullptr || (info->lpVerb != nullptr && !SameAsciiNoCase(info->lpVerb, "open"))) {
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(SE_ERR_NOASSOC));
    return FALSE;
  }
  std::string url = Utf16ToUtf8(info->lpFile);
  if (!IsWebUrl(url)) {
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(SE_ERR_NOASSOC));
    return FALSE;
  }
  g_opened.push_back(url);
  bool ok = g_open == nullptr || g_open(url);
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(ok ? 33 : SE_ERR_ACCESSDENIED));
  return ok ? TRUE : FALSE;
}
