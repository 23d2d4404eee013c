// The shell's calls and the system's: the taskbar and full screen, dialog
// set-up, the input panel, the version and the entry's options, metrics,
// strings, icons and the resource formats.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/entry.h"
#include "platform/options.h"
#include "platform/resource.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window/ui_resources.h"
#include "window_fixture.h"

namespace {

HWND Taskbar() { return FindWindowW(u"HHTaskBar", u""); }

TEST_F(WindowTest, FullScreenHidesAndShowsTheTaskbarAndButtons) {
  struct Row {
    DWORD flags;
    bool taskbar, sipButton, startIcon;
  };
  const Row rows[] = {
      {SHFS_HIDETASKBAR, false, true, true},
      {SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON, false, false, false},
      {SHFS_HIDESIPBUTTON, true, false, true},
      {SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON, true, true, true},
      {0, true, true, true},
  };
  HWND main = Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flags);
    SHFullScreen(main, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON);
    EXPECT_TRUE(SHFullScreen(main, r.flags));
    EXPECT_EQ(IsWindowVisible(Taskbar()) != 0, r.taskbar);
    EXPECT_EQ(TestShellState().sipButtonShown, r.sipButton);
    EXPECT_EQ(TestShellState().startIconShown, r.startIcon);
    EXPECT_EQ(TestShellState().lastFullScreenFlags, r.flags);
    EXPECT_EQ(TestShellState().lastFullScreenWindow, main);
  }
  SHFullScreen(main, SHFS_SHOWTASKBAR);
  EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
  EXPECT_TRUE(IsWindowVisible(Taskbar()));
  EXPECT_EQ(GetForegroundWindow(), main);  // the taskbar never takes the activation
}

TEST_F(WindowTest, HidingTheTaskbarUncoversTheWindowBelow) {
  handler = [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    if (m != WM_PAINT) return 0;
    *handled = true;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT all{0, 0, 500, 500};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    EndPaint(h, &ps);
    return 0;
  };
  HWND main = Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  RECT r;
  GetWindowRect(main, &r);
  SHFullScreen(main, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
  MoveWindow(main, r.left, 0, r.right, r.bottom, FALSE);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 5), RGB(0, 255, 0));
  SHFullScreen(main, SHFS_SHOWTASKBAR);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 1), RGB(0, 0, 128));
  EXPECT_EQ(TestScreenPixel(120, 30), RGB(0, 255, 0));
}

TEST_F(WindowTest, InitDialogSizesAndAddsDone) {
  struct Row {
    DWORD mask, flags;
    bool hideTaskbar;
    RECT want;
    bool done;
  };
  const Row rows[] = {
      {SHIDIM_FLAGS, SHIDIF_SIZEDLG, false, {0, 26, 240, 320}, false},
      {SHIDIM_FLAGS, 30, false, {0, 26, 240, 320}, false},
      {SHIDIM_FLAGS, 31, true, {0, 0, 240, 320}, true},
      {SHIDIM_FLAGS, SHIDIF_DONEBUTTON, false, {20, 60, 220, 210}, true},
      {0, 31, false, {20, 60, 220, 210}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flags);
    TestResetWindowSystem();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Dlg";
    RegisterClassW(&wc);
    HWND d = CreateWindowExW(0, u"Dlg", u"D", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 60, 200, 150, nullptr,
                             nullptr, nullptr, nullptr);
    if (r.hideTaskbar) ShowWindow(Taskbar(), SW_HIDE);
    SipShowIM(SIPF_ON);
    SHINITDLGINFO info{r.mask, d, r.flags};
    EXPECT_TRUE(SHInitDialog(&info));
    RECT got;
    GetWindowRect(d, &got);
    EXPECT_EQ(got.left, r.want.left);
    EXPECT_EQ(got.top, r.want.top);
    EXPECT_EQ(got.right, r.want.right);
    EXPECT_EQ(got.bottom, r.want.bottom);
    EXPECT_EQ((GetWindowLongW(d, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0, r.done);
    EXPECT_EQ(TestShellState().sipUp, !(r.mask && (r.flags & SHIDIF_SIPDOWN)));
  }
  SHINITDLGINFO none{SHIDIM_FLAGS, nullptr, 0};
  EXPECT_FALSE(SHInitDialog(&none));
  EXPECT_FALSE(SHInitDialog(nullptr));
}

TEST_F(WindowTest, InputPanelStateAndSettingChange) {
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  struct Row {
    void (*act)(HWND);
    bool up;
    int changes;  // WM_SETTINGCHANGE messages it sends
  };
  const Row rows[] = {
      {[](HWND) { SipShowIM(SIPF_ON); }, true, 1},
      {[](HWND) { SipShowIM(SIPF_ON); }, true, 0},
      {[](HWND w) { SHSipPreference(w, SIP_FORCEDOWN); }, false, 1},
      {[](HWND w) { SHSipPreference(w, SIP_UNCHANGED); }, false, 0},
      {[](HWND w) { SHSipPreference(w, SIP_UP); }, true, 1},
      {[](HWND) { SipShowIM(SIPF_OFF); }, false, 1},
  };
  for (const Row& r : rows) {
    log.clear();
    r.act(a);
    EXPECT_EQ(TestShellState().sipUp, r.up);
    int changes = 0;
    for (const Seen& s : log) changes += s.message == WM_SETTINGCHANGE && s.wParam == SPI_SETSIPINFO;
    EXPECT_EQ(changes, r.changes);
  }
  EXPECT_EQ(TestShellState().sipPreference, SIP_UP);
  SipShowIM(SIPF_ON);
  SHACTIVATEINFO info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(SHHandleWMSettingChange(a, SPI_SETSIPINFO, 0, &info));
  EXPECT_EQ(info.fSipUp, 1u);
  EXPECT_EQ(TestShellState().settingChangeCalls, 1);
  EXPECT_FALSE(SHSipPreference(nullptr, SIP_UP));
  EXPECT_FALSE(TestShellState().commonControls);
  InitCommonControls();
  EXPECT_TRUE(TestShellState().commonControls);
}

// What the WinMain below saw.
struct EntrySeen {
  int calls = 0;
  std::u16string commandLine;
  DWORD major = 0, minor = 0;
  int screenWidth = 0;
};
EntrySeen g_seen;

int RecordingWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
  ++g_seen.calls;
  g_seen.commandLine = commandLine;
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExW(&v);
  g_seen.major = v.dwMajorVersion;
  g_seen.minor = v.dwMinorVersion;
  g_seen.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(instance, GetModuleHandleW(nullptr));
  EXPECT_EQ(previous, nullptr);
  EXPECT_EQ(show, SW_SHOW);
  return 3;
}

TEST_F(WindowTest, PlatformMainTakesItsOptions) {
  struct Row {
    std::vector<const char*> args;
    int code;
    bool called;
    std::u16string commandLine;
    DWORD major, minor;
    int screenWidth;
  };
  const Row rows[] = {
      {{}, 3, true, u"", 5, 1, 240},
      {{"--os-version", "4.21", "--", "/today", "b"}, 3, true, u"/today b", 4, 21, 240},
      {{"--os-version", "3.0", "--screen", "320x240"}, 3, true, u"", 3, 0, 320},
      {{"program", "--os-version"}, 3, true, u"program --os-version", 5, 1, 240},
      {{"--backend", "headless", "--registry", ""}, 3, true, u"", 5, 1, 240},
      {{"--help"}, 0, false, u"", 0, 0, 0},
      {{"--bogus"}, 2, false, u"", 0, 0, 0},
      {{"--os-version"}, 2, false, u"", 0, 0, 0},
      {{"--os-version", "four"}, 2, false, u"", 0, 0, 0},
      {{"--screen", "320"}, 2, false, u"", 0, 0, 0},
      {{"--screen", "0x10"}, 2, false, u"", 0, 0, 0},
      {{"--backend", "nope"}, 2, false, u"", 0, 0, 0},
      {{"--resources", "/nonexistent/pack"}, 2, false, u"", 0, 0, 0},
      {{"--scenario", "/nonexistent/scenario"}, 2, false, u"", 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args.empty() ? "none" : r.args[0]);
    TestResetWindowSystem();
    PlatformSetOsVersion(5, 1);
    g_seen = EntrySeen{};
    std::vector<char*> argv{const_cast<char*>("lumora")};
    for (const char* a : r.args) argv.push_back(const_cast<char*>(a));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int code = PlatformMain(static_cast<int>(argv.size()), argv.data(), RecordingWinMain);
    std::string out = testing::internal::GetCapturedStdout();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, r.code) << err;
    EXPECT_EQ(g_seen.calls, r.called ? 1 : 0);
    if (r.code == 2) {
      EXPECT_FALSE(err.empty());
    }
    if (r.args.size() == 1 && std::string(r.args[0]) == "--help") {
      EXPECT_NE(out.find("--scenario FILE"), std::string::npos);
    }
    if (!r.called) continue;
    EXPECT_EQ(g_seen.commandLine, r.commandLine);
    EXPECT_EQ(g_seen.major, r.major);
    EXPECT_EQ(g_seen.minor, r.minor);
    EXPECT_EQ(g_seen.screenWidth, r.screenWidth);
  }
  PlatformSetOsVersion(5, 1);
  PlatformUseRegistryFile("");
}

LRESULT QuitOnDestroy(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(h, m, w, l);
}

// A program of the usual shape: a main window and its loop.
int LoopingWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = QuitOnDestroy;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = u"Main";
  RegisterClassW(&wc);
  HWND main = CreateWindowExW(0, u"Main", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  ShowWindow(main, show);
  UpdateWindow(main);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

TEST_F(WindowTest, PlatformMainRunsAScenarioToTheEnd) {
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("lumora-entry-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  struct Row {
    std::string scenario;
    int code;
  };
  const Row rows[] = {{"tap 10 40\nexpect window Main\nscreenshot during.png\n", 0},
                      {"expect window Nothing\n", 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.scenario);
    TestResetWindowSystem();
    std::string file = (folder / "run.scenario").string(), shot = (folder / "exit.png").string();
    std::filesystem::remove(shot);
    std::filesystem::remove(folder / "during.png");
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(r.scenario.c_str(), f);
    std::fclose(f);
    const char* argv[] = {"lumora", "--scenario", file.c_str(), "--screenshot", shot.c_str()};
    testing::internal::CaptureStderr();
    EXPECT_EQ(PlatformMain(5, const_cast<char**>(argv), LoopingWinMain), r.code);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::exists(shot));
    EXPECT_EQ(std::filesystem::exists(folder / "during.png"), r.code == 0);
  }
  std::filesystem::remove_all(folder);
}

TEST_F(WindowTest, VersionAndMetrics) {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExW(&v));
  EXPECT_EQ(v.dwMajorVersion, 5u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_CE));
  PlatformSetOsVersion(4, 20);
  ASSERT_TRUE(GetVersionExW(&v));
  EXPECT_EQ(v.dwMinorVersion, 20u);
  PlatformSetOsVersion(5, 1);
  v.dwOSVersionInfoSize = 8;
  EXPECT_FALSE(GetVersionExW(&v));
  EXPECT_FALSE(GetVersionExW(nullptr));

  const std::pair<int, int> metrics[] = {{SM_CXSCREEN, 240}, {SM_CYSCREEN, 320}, {SM_CXVSCROLL, 13},
                                         {SM_CXEDGE, 2},     {SM_CYEDGE, 2},     {SM_CYCAPTION, 22},
                                         {SM_CXBORDER, 1},   {SM_CXICON, 32},    {9999, 0}};
  for (auto [index, value] : metrics) EXPECT_EQ(GetSystemMetrics(index), value) << index;

  WCHAR path[4096];
  DWORD n = GetModuleFileNameW(nullptr, path, 4096);
  ASSERT_GT(n, 0u);
  EXPECT_NE(std::u16string(path, n).find(u"window_tests"), std::u16string::npos);
  EXPECT_EQ(GetModuleFileNameW(nullptr, path, 5), 5u);
  EXPECT_EQ(path[4], 0);
  EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(path), path, 5), 0u);

  MessageBeep(0x30);
  EXPECT_EQ(TestMessageBeeps(), std::vector<UINT>{0x30});
}

TEST_F(WindowTest, StringsLoadAsThePlatformCopiesThem) {
  std::vector<uint8_t> go, korvel, empty;
  std::string error;
  ASSERT_TRUE(EncodeStringResource(u"Go", &go, &error));
  ASSERT_TRUE(EncodeStringResource(u"Korvel", &korvel, &error));
  ASSERT_TRUE(EncodeStringResource(u"", &empty, &error));
  ASSERT_TRUE(TestUseResources({{6, 302, go}, {6, 304, korvel}, {6, 10, empty}, {6, 11, {1, 2, 3}}}));
  struct Row {
    UINT id;
    int capacity;
    int result;
    std::u16string text;
  };
  const Row rows[] = {{302, 10, 2, u"Go"},  {302, 2, 1, u"G"}, {302, 1, 0, u""}, {10, 10, 0, u""},
                      {999, 10, 0, u""},    {11, 10, 0, u""},  {70000, 10, 0, u""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    WCHAR text[16] = u"junk";
    EXPECT_EQ(LoadStringW(nullptr, r.id, text, r.capacity), r.result);
    EXPECT_EQ(std::u16string(text), r.text);
  }
  LPCWSTR direct = nullptr;
  EXPECT_EQ(LoadStringW(nullptr, 304, reinterpret_cast<LPWSTR>(&direct), 0), 6);
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(std::u16string(direct, 6), u"Korvel");
  EXPECT_EQ(LoadStringW(nullptr, 302, nullptr, 10), 0);
  PlatformUseEmbeddedResources();
}

TEST_F(WindowTest, IconsDrawWithTheirTransparency) {
  IconImage icon{2, 2, {0xFFFF0000, 0x00000000, 0x800000FF, 0xFF00FF00}};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeIconResource(icon, &bytes, &error)) << error;
  ASSERT_TRUE(TestUseResources({{3, 101, bytes}}));
  HICON h = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101));
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(102)), nullptr);
  PlatformUseEmbeddedResources();
  ASSERT_NE(h, nullptr);
  Canvas canvas(4, 4);
  EXPECT_TRUE(DrawIcon(canvas.dc(), 1, 1, h));
  EXPECT_EQ(canvas.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(2, 1), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(1, 2), RGB(127, 127, 255));
  EXPECT_EQ(canvas.At(2, 2), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));
  EXPECT_TRUE(DestroyIcon(h));
  EXPECT_FALSE(DestroyIcon(h));
  EXPECT_FALSE(DrawIcon(canvas.dc(), 0, 0, h));
}

TEST(UiResources, AcceleratorTablesRoundTripAndRefuseDamage) {
  std::vector<AcceleratorEntry> entries{{FVIRTKEY | FCONTROL, 'F', 40006}, {FVIRTKEY | FALT, VK_F3, 116}};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeAcceleratorTable(entries, &bytes, &error));
  std::vector<AcceleratorEntry> back;
  ASSERT_TRUE(DecodeAcceleratorTable(bytes.data(), bytes.size(), &back, &error));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].key, VK_F3);
  EXPECT_EQ(back[1].command, 116);

  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> badFlags = bytes;
  badFlags[6] = 0x40;
  std::vector<uint8_t> zero = {'L', 'M', 'A', 'C', 0, 0};
  const Row rows[] = {{"Empty", {}},
                      {"Magic", {'L', 'M', 'X', 'C', 1, 0, 1, 0, 'A', 0, 1, 0}},
                      {"Zero", zero},
                      {"Short", std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)},
                      {"Long", [&] { auto b = bytes; b.push_back(0); return b; }()},
                      {"Flags", badFlags}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_FALSE(DecodeAcceleratorTable(r.bytes.data(), r.bytes.size(), &back, &error));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(EncodeAcceleratorTable({}, &bytes, &error));
  EXPECT_FALSE(EncodeAcceleratorTable({{0x40, 'A', 1}}, &bytes, &error));
}

TEST(UiResources, StringsAndIconsRoundTripAndRefuseDamage) {
  std::vector<uint8_t> bytes;
  std::string error;
  std::u16string text;
  ASSERT_TRUE(EncodeStringResource(u"\u05D0b", &bytes, &error));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xD0, 0x05, 'b', 0}));
  ASSERT_TRUE(DecodeStringResource(bytes.data(), bytes.size(), &text, &error));
  EXPECT_EQ(text, u"\u05D0b");
  EXPECT_FALSE(DecodeStringResource(bytes.data(), 3, &text, &error));
  EXPECT_FALSE(EncodeStringResource(std::u16string(40000, u'a'), &bytes, &error));

  IconImage icon{1, 2, {0xFF000000, 0x00FFFFFF}};
  ASSERT_TRUE(EncodeIconResource(icon, &bytes, &error));
  IconImage back;
  ASSERT_TRUE(DecodeIconResource(bytes.data(), bytes.size(), &back, &error));
  EXPECT_EQ(back.pixels, icon.pixels);
  const IconImage bad[] = {{0, 1, {}}, {1, 1, {}}, {300, 1, std::vector<uint32_t>(300)}};
  for (const IconImage& b : bad) EXPECT_FALSE(EncodeIconResource(b, &bytes, &error));
  ASSERT_TRUE(EncodeIconResource(icon, &bytes, &error));
  EXPECT_FALSE(DecodeIconResource(bytes.data(), bytes.size() - 1, &back, &error));
  bytes[4] = 0;
  EXPECT_FALSE(DecodeIconResource(bytes.data(), bytes.size(), &back, &error));
  EXPECT_FALSE(DecodeIconResource(nullptr, 0, &back, &error));
}

}  // namespace
