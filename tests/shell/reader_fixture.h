// The whole reader in this process on the headless backend: WinMain runs
// with the program's resource pack and a registry file of the test's own,
// and a list of steps runs one each time the reader waits for input. After
// the last step the input ends and the reader winds up by its normal exit.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bookmarks/bookmark_list.h"
#include "content/stored.h"
#include "platform/backend/testing.h"
#include "platform/entry.h"
#include "platform/options.h"
#include "platform/shell_execute.h"
#include "platform/testing.h"
#include "platform/window/testing.h"
#include "process_folder.h"
#include "registry_fixture.h"
#include "shell/resource_ids.h"
#include "shell/shell_state.h"

using Step = std::function<void()>;

inline const COLORREF kWhite = RGB(255, 255, 255);
inline const COLORREF kRed = RGB(255, 0, 0);
inline const COLORREF kBand = RGB(238, 255, 255);

class Reader : public MemoryRegistry {
 protected:
  void SetUp() override {
    MemoryRegistry::SetUp();
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("lumora-reader-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    UseRegistryFile();
    std::string error;
    ASSERT_TRUE(PlatformUseResourcePackFile(LUMORA_PROGRAM_PACK_FILE, &error)) << error;
  }
  void TearDown() override {
    TestSetIdleCallback(nullptr);
    TestSetMessageSpy({});
    TestResetWindowSystem();
    TestClearMessageBoxes();
    ClearOpenedUrls();
    PlatformSetOsVersion(5, 1);
    PlatformUseEmbeddedResources();
    FreeBookmarks();
    MemoryRegistry::TearDown();
    std::filesystem::remove_all(dir_);
  }

  std::string RegistryFile() const { return (dir_ / "registry").string(); }
  // Reads the registry afresh from its file: what a later start would find.
  void UseRegistryFile() const { PlatformUseRegistryFile(RegistryFile()); }

  static std::vector<uint8_t> Number(DWORD n) {
    return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 24)};
  }
  static void PutSetting(const char16_t* name, DWORD n) { Put(SETTINGS_KEY, name, REG_DWORD, Number(n)); }
  static void PutSwitch(const char16_t* name, DWORD n) { Put(SWITCHES_KEY, name, REG_DWORD, Number(n)); }
  // A stored number as the file holds it; -1 when it holds none.
  int64_t StoredNumber(const char16_t* name) const {
    UseRegistryFile();
    auto v = Get(SETTINGS_KEY, name);
    if (v.first != REG_DWORD || v.second.size() != 4) return -1;
    return static_cast<int64_t>(v.second[0] | v.second[1] << 8 | v.second[2] << 16 |
                                static_cast<uint32_t>(v.second[3]) << 24);
  }
  std::vector<uint8_t> StoredBytes(const char16_t* name) const {
    UseRegistryFile();
    return Get(SETTINGS_KEY, name).second;
  }

  // What a previous run (or test) may have left that WinMain does not clear.
  static void ResetShellState() {
    std::memset(&FontSpec, 0, sizeof FontSpec);
    Flags = 0;
    LastPosition = 0;
    SearchString[0] = 0;
    BottomSection = 0;
    BottomSectionLastPosition = 0;
    FreeBookmarks();
  }

  // The version the reader finds: 4.20 for the command bar at the top, 5.1
  // (the platform's default) for the menu bar at the bottom.
  void UseCommandBar(bool on) {
    osMajor_ = on ? 4 : 5;
    osMinor_ = on ? 20 : 1;
  }

  // Every message a window procedure gets during the next runs.
  void Watch(MessageSpy spy) { spy_ = std::move(spy); }

  // Runs the reader from a fresh window system and shell state; the steps run
  // one each time it waits. Returns WinMain's exit code.
  int Run(const std::vector<Step>& steps) {
    TestSetIdleCallback(nullptr);
    TestResetWindowSystem();
    TestSetMessageSpy(spy_);
    PlatformSetOsVersion(osMajor_, osMinor_);
    TestClearMessageBoxes();
    ClearOpenedUrls();
    ResetShellState();
    size_t next = 0;
    TestSetIdleCallback([&] {
      if (next == steps.size()) return false;
      steps[next++]();
      return true;
    });
    WCHAR commandLine[] = u"";
    int code = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    TestSetIdleCallback(nullptr);
    TestSetMessageSpy({});
    EXPECT_EQ(next, steps.size()) << "the reader ended before every step ran";
    return code;
  }

  std::filesystem::path dir_;
  int osMajor_ = 5, osMinor_ = 1;
  MessageSpy spy_;

 public:
  // The main window's client area on the screen.
  static POINT Origin() {
    POINT p{0, 0};
    ClientToScreen(MainWindow, &p);
    return p;
  }
  // A pixel of the main window's client area.
  static COLORREF At(int x, int y) {
    POINT o = Origin();
    return TestScreenPixel(o.x + x, o.y + y);
  }
  static void TapAt(int x, int y) {
    POINT o = Origin();
    TestTap(o.x + x, o.y + y);
  }
  // A child window's rectangle in the main window's client coordinates.
  static RECT InClient(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    POINT o = Origin();
    return {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
  }
  // A digest of the client pixels in a rectangle: equal pictures, equal digests.
  static uint64_t Digest(const RECT& r) {
    uint64_t h = 1469598103934665603ull;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) h = (h ^ At(x, y)) * 1099511628211ull;
    return h;
  }
  static RECT ViewRect(const ArticleView* v) { return {v->left, v->top, v->left + v->width, v->top + v->height}; }

  // Whether a view holds exactly the stored article n.
  static bool Shows(const ArticleView* view, int n) {
    BYTE* text = FetchStored(n, nullptr);
    bool same = false;
    if (text != nullptr && view != nullptr && view->text != nullptr) {
      unsigned size = StoredLength(text);
      same = StoredLength(view->text) == size && std::memcmp(view->text, text, size) == 0;
    }
    LocalFree(text);
    return same;
  }

  // The scroll bar's position and range.
  static SCROLLINFO BarInfo(HWND bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }

  // A menu mark of the "Go" or the ratio pop-up, in either bar mode.
  static bool Checked(UINT command) {
    HMENU menu = MenuBarMode ? reinterpret_cast<HMENU>(SendMessageW(
                                   MenuBarWindow, SHCMBM_GETSUBMENU, 0,
                                   command >= IDM_RATIO_NONE && command <= IDM_RATIO_3_4 ? IDM_KORVEL_MENU
                                                                                         : IDM_GO_MENU))
                             : CommandBar_GetMenu(MenuBarWindow, 0);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(menu, command, FALSE, &info)) return false;
    return (info.fState & MFS_CHECKED) != 0;
  }

  // Pictures for the documentation, only when asked for: LUMORA_WRITE_DOCS=1.
  static void SaveForDocs(const char* name) {
    const char* wanted = std::getenv("LUMORA_WRITE_DOCS");
    if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return;
    std::string error;
    EXPECT_TRUE(TestSaveScreen(std::string(LUMORA_SOURCE_DIR) + "/docs/" + name, &error)) << error;
  }
};
