// Internal: how ShellExecuteEx reaches a browser.
#pragma once

#include <string>
#include <vector>

// An http or https URL without spaces or control characters.
bool IsWebUrl(const std::string& url);
// Runs xdg-open with the URL as its one argument; true when it succeeded.
bool SpawnBrowser(const std::string& url);
// The backend's way to open a URL; none (headless) only records it.
void SetUrlOpener(bool (*open)(const std::string& url));
// Every URL handed on so far, for tests and the headless backend.
const std::vector<std::string>& OpenedUrls();
void ClearOpenedUrls();
