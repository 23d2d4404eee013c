// Windows and messages: the order of messages as windows come and go,
// activation, focus, capture and the pen, keys, accelerators and the loop.
#include <vector>

#include "platform/options.h"
#include "platform/resource.h"
#include "platform/resource_pack.h"
#include "platform/window/shared.h"
#include "platform/window/ui_resources.h"
#include "window_fixture.h"

namespace {

struct Windows {
  HWND a = nullptr, b = nullptr, c = nullptr, d = nullptr;
};

struct OrderCase {
  const char* name;
  void (*setup)(WindowTest&, Windows&);
  void (*act)(WindowTest&, Windows&);
  std::vector<std::string> expected;
};

class MessageOrder : public WindowTest, public ::testing::WithParamInterface<OrderCase> {
 public:
  HWND Top(const char16_t* title, DWORD style = WS_VISIBLE) { return Make(title, style, 0, 26, 100, 100); }
  HWND Child(HWND parent, int x = 0) { return Make(u"child", WS_CHILD | WS_VISIBLE, x, 0, 20, 20, parent); }
};

MessageOrder& T(WindowTest& t) { return static_cast<MessageOrder&>(t); }

const OrderCase kOrders[] = {
    {"CreateVisible", [](WindowTest&, Windows&) {},
     [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     {"A:CREATE", "A:SIZE", "A:MOVE", "A:SHOWWINDOW", "A:POSCHANGED", "A:ACTIVATE(1)", "A:SETFOCUS"}},
    {"CreateHidden", [](WindowTest&, Windows&) {},
     [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A", 0); }, {"A:CREATE", "A:SIZE", "A:MOVE"}},
    {"CreateChild", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest& t, Windows& w) { w.c = T(t).Child(w.a); },
     {"C:CREATE", "C:SIZE", "C:MOVE", "C:SHOWWINDOW", "C:POSCHANGED"}},
    {"SecondWindowTakesActivation", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest& t, Windows& w) { w.b = T(t).Top(u"B"); },
     {"B:CREATE", "B:SIZE", "B:MOVE", "B:SHOWWINDOW", "B:POSCHANGED", "A:ACTIVATE(0)", "B:ACTIVATE(1)",
      "A:KILLFOCUS", "B:SETFOCUS"}},
    {"Move", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest&, Windows& w) { MoveWindow(w.a, 10, 40, 100, 100, TRUE); }, {"A:POSCHANGED", "A:MOVE"}},
    {"Resize", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest&, Windows& w) { MoveWindow(w.a, 0, 26, 50, 60, TRUE); }, {"A:POSCHANGED", "A:SIZE"}},
    {"MoveAndResize", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest&, Windows& w) { MoveWindow(w.a, 5, 30, 50, 60, FALSE); },
     {"A:POSCHANGED", "A:SIZE", "A:MOVE"}},
    {"PositionUnchanged", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest&, Windows& w) {
       SetWindowPos(w.a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
     },
     {"A:POSCHANGED"}},
    {"HideActive", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); w.b = T(t).Top(u"B"); },
     [](WindowTest&, Windows& w) { ShowWindow(w.b, SW_HIDE); },
     {"B:SHOWWINDOW", "B:POSCHANGED", "B:ACTIVATE(0)", "A:ACTIVATE(1)", "B:KILLFOCUS", "A:SETFOCUS"}},
    {"ShowWithoutActivating", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); w.b = T(t).Top(u"B", 0); },
     [](WindowTest&, Windows& w) { ShowWindow(w.b, SW_SHOWNA); }, {"B:SHOWWINDOW", "B:POSCHANGED"}},
    {"ForegroundBack", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); w.b = T(t).Top(u"B"); },
     [](WindowTest&, Windows& w) { SetForegroundWindow(w.a); },
     {"B:ACTIVATE(0)", "A:ACTIVATE(1)", "B:KILLFOCUS", "A:SETFOCUS"}},
    {"DestroyLastWithChild", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); w.c = T(t).Child(w.a); },
     [](WindowTest&, Windows& w) { DestroyWindow(w.a); },
     {"A:ACTIVATE(0)", "A:KILLFOCUS", "C:DESTROY", "A:DESTROY"}},
    {"DestroyActivatesTheOther", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); w.b = T(t).Top(u"B"); },
     [](WindowTest&, Windows& w) { DestroyWindow(w.b); },
     {"B:ACTIVATE(0)", "A:ACTIVATE(1)", "B:KILLFOCUS", "A:SETFOCUS", "B:DESTROY"}},
    {"DestroyOwnerTakesOwned",
     [](WindowTest& t, Windows& w) {
       w.a = T(t).Top(u"A");
       w.d = t.Make(u"D", WS_POPUP, 10, 40, 50, 50, w.a);
     },
     [](WindowTest&, Windows& w) { DestroyWindow(w.a); },
     {"A:ACTIVATE(0)", "A:KILLFOCUS", "D:DESTROY", "A:DESTROY"}},
    {"FocusBetweenChildren",
     [](WindowTest& t, Windows& w) {
       w.a = T(t).Top(u"A");
       w.c = T(t).Child(w.a);
       w.d = T(t).Child(w.a, 30);
     },
     [](WindowTest&, Windows& w) {
       SetFocus(w.c);
       SetFocus(w.d);
     },
     {"A:KILLFOCUS", "C:SETFOCUS", "C:KILLFOCUS", "D:SETFOCUS"}},
    {"DisableFocused", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A"); },
     [](WindowTest&, Windows& w) { EnableWindow(w.a, FALSE); }, {"A:KILLFOCUS", "A:ENABLE"}},
    {"CloseDestroys", [](WindowTest& t, Windows& w) { w.a = T(t).Top(u"A", 0); },
     [](WindowTest&, Windows& w) { SendMessageW(w.a, WM_CLOSE, 0, 0); }, {"A:CLOSE", "A:DESTROY"}},
};

TEST_P(MessageOrder, Sequence) {
  const OrderCase& c = GetParam();
  Windows w;
  c.setup(*this, w);
  log.clear();
  c.act(*this, w);
  std::map<HWND, std::string> names;
  for (auto [h, n] : {std::pair{w.a, "A"}, {w.b, "B"}, {w.c, "C"}, {w.d, "D"}})
    if (h != nullptr) names[h] = n;
  // Windows made during the act are named by creation order.
  for (const Seen& s : log)
    if (s.message == WM_CREATE && names.find(s.window) == names.end()) names[s.window] = "?";
  EXPECT_EQ(Trace(names), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, MessageOrder, ::testing::ValuesIn(kOrders),
                         [](const ::testing::TestParamInfo<OrderCase>& i) { return std::string(i.param.name); });

TEST_F(WindowTest, CreateFailsAndDestroysWhenCreateAnswersMinusOne) {
  handler = [](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == WM_CREATE;
    return -1;
  };
  EXPECT_EQ(Make(u"A", WS_VISIBLE, 0, 0, 10, 10), nullptr);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].message, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(log[1].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_FALSE(IsWindow(log[0].window));
}

TEST_F(WindowTest, CreateStructCarriesTheRequest) {
  CREATESTRUCTW seen{};
  std::u16string title;
  handler = [&](HWND, UINT m, WPARAM, LPARAM l, bool*) -> LRESULT {
    if (m == WM_CREATE) {
      seen = *reinterpret_cast<CREATESTRUCTW*>(l);
      title = seen.lpszName;
    }
    return 0;
  };
  int param = 0;
  HWND h = CreateWindowExW(WS_EX_WINDOWEDGE, u"Probe", u"Lumora", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, &param);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(seen.lpCreateParams, &param);
  EXPECT_EQ(title, u"Lumora");
  EXPECT_EQ(seen.dwExStyle, static_cast<DWORD>(WS_EX_WINDOWEDGE));
  EXPECT_EQ(seen.style, static_cast<LONG>(WS_VISIBLE));
  EXPECT_EQ(seen.x, 0);
  EXPECT_EQ(seen.y, 26);
  EXPECT_EQ(seen.cx, 240);
  EXPECT_EQ(seen.cy, 294);
  EXPECT_EQ(GetForegroundWindow(), h);
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
}

TEST_F(WindowTest, WindowPosCarriesItsRecordAndSizeTheClient) {
  HWND a = Make(u"A", WS_VISIBLE | WS_CAPTION, 0, 26, 100, 100);
  WINDOWPOS pos{};
  handler = [&](HWND, UINT m, WPARAM, LPARAM l, bool*) -> LRESULT {
    if (m == WM_WINDOWPOSCHANGED) pos = *reinterpret_cast<WINDOWPOS*>(l);
    return 0;
  };
  log.clear();
  MoveWindow(a, 4, 30, 60, 80, TRUE);
  EXPECT_EQ(pos.hwnd, a);
  EXPECT_EQ(pos.x, 4);
  EXPECT_EQ(pos.y, 30);
  EXPECT_EQ(pos.cx, 60);
  EXPECT_EQ(pos.cy, 80);
  EXPECT_EQ(pos.flags & 0xFFFF0000u, 0u);
  EXPECT_TRUE(pos.flags & SWP_NOACTIVATE);
  for (const Seen& s : log) {
    if (s.message == WM_SIZE) {
      EXPECT_EQ(s.lParam, MAKELPARAM(58, 80 - 2 - 22));
    }
    if (s.message == WM_MOVE) {
      EXPECT_EQ(s.lParam, MAKELPARAM(5, 30 + 1 + 22));
    }
  }
}

TEST_F(WindowTest, StaleHandlesAreRefusedEverywhere) {
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  ASSERT_TRUE(DestroyWindow(a));
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345));
  for (HWND h : {a, bogus}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(h));
    RECT r{1, 2, 3, 4};
    POINT p{5, 6};
    WCHAR text[8] = u"x";
    PAINTSTRUCT ps;
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 10, 0, 0, 0};
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(MoveWindow(h, 0, 0, 1, 1, TRUE));
    EXPECT_FALSE(GetClientRect(h, &r));
    EXPECT_FALSE(ClientToScreen(h, &p));
    EXPECT_FALSE(SetWindowTextW(h, u"y"));
    EXPECT_EQ(GetWindowTextW(h, text, 8), 0);
    EXPECT_EQ(text[0], 0);
    EXPECT_EQ(SendMessageW(h, WM_USER, 1, 2), 0);
    EXPECT_FALSE(PostMessageW(h, WM_USER, 1, 2));
    EXPECT_EQ(SetFocus(h), nullptr);
    EXPECT_EQ(SetCapture(h), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
    EXPECT_EQ(BeginPaint(h, &ps), nullptr);
    EXPECT_EQ(GetDC(h), nullptr);
    EXPECT_EQ(SetScrollInfo(h, SB_VERT, &si, TRUE), 0);
    EXPECT_EQ(GetWindowLongW(h, GWL_STYLE), 0);
    EXPECT_EQ(SetWindowLongW(h, GWL_USERDATA, 7), 0);
    EXPECT_EQ(GetParent(h), nullptr);
    EXPECT_FALSE(SetForegroundWindow(h));
    EXPECT_FALSE(EnableWindow(h, FALSE));
    EXPECT_EQ(DefWindowProcW(h, WM_CLOSE, 0, 0), 0);
  }
}

TEST_F(WindowTest, WindowLivesThroughItsOwnDestroy) {
  int lengthInDestroy = -1;
  handler = [&](HWND h, UINT m, WPARAM, LPARAM, bool*) -> LRESULT {
    if (m == WM_LBUTTONDOWN) DestroyWindow(h);
    if (m == WM_DESTROY) {
      lengthInDestroy = GetWindowTextLengthW(h);
      DestroyWindow(h);  // again, from inside: harmless
    }
    return 0;
  };
  HWND a = Make(u"Title", WS_VISIBLE, 0, 26, 100, 100);
  TestTap(50, 50);
  Pump();
  EXPECT_EQ(lengthInDestroy, 5);
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowTest, PenGoesToTheWindowUnderItOrToTheCapture) {
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 240, 200);
  HWND c1 = Make(u"1", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, a);
  HWND c2 = Make(u"2", WS_CHILD | WS_VISIBLE, 100, 10, 50, 50, a);
  HWND off = Make(u"off", WS_CHILD | WS_VISIBLE | WS_DISABLED, 160, 10, 50, 50, a);
  std::map<HWND, std::string> names{{a, "A"}, {c1, "1"}, {c2, "2"}, {off, "off"}};
  auto lparamOf = [&](HWND h, UINT m) {
    for (const Seen& s : log)
      if (s.window == h && s.message == m) return s.lParam;
    return LPARAM{-1};
  };
  log.clear();
  TestTap(20, 46);
  Pump();
  EXPECT_EQ(lparamOf(c1, WM_LBUTTONDOWN), MAKELPARAM(10, 10));
  EXPECT_EQ(Trace(names), (std::vector<std::string>{"1:LBUTTONDOWN", "1:LBUTTONUP"}));

  EXPECT_EQ(SetCapture(c1), nullptr);
  TestTap(110, 46);
  Pump();
  EXPECT_EQ(lparamOf(c1, WM_LBUTTONDOWN), MAKELPARAM(100, 10));
  EXPECT_EQ(Trace(names), (std::vector<std::string>{"1:LBUTTONDOWN", "1:LBUTTONUP"}));

  EXPECT_EQ(SetCapture(c2), c1);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(Trace(names), (std::vector<std::string>{"1:CAPTURECHANGED", "2:CAPTURECHANGED"}));
  TestTap(110, 46);
  TestTap(170, 46);  // the disabled child lets it through to its parent
  Pump();
  EXPECT_EQ(Trace(names), (std::vector<std::string>{"2:LBUTTONDOWN", "2:LBUTTONUP", "A:LBUTTONDOWN", "A:LBUTTONUP"}));

  InputEvent drag{InputEvent::kPress, 115, 50};
  TestInjectInput(drag);
  drag.kind = InputEvent::kMove;
  drag.x = 130;
  TestInjectInput(drag);
  Pump();
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  drag.kind = InputEvent::kRelease;
  TestInjectInput(drag);
  Pump();
  EXPECT_EQ(GetKeyState(VK_LBUTTON), 0);
  EXPECT_EQ(Trace(names), (std::vector<std::string>{"2:LBUTTONDOWN", "2:MOUSEMOVE", "2:LBUTTONUP"}));
}

TEST_F(WindowTest, TapActivatesAndQuickTapsDoubleClick) {
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  HWND b = Make(u"B", WS_VISIBLE, 120, 26, 100, 100);
  log.clear();
  TestTap(10, 40);
  TestTap(10, 40);
  Pump();
  EXPECT_EQ(Trace({{a, "A"}, {b, "B"}}),
            (std::vector<std::string>{"B:ACTIVATE(0)", "A:ACTIVATE(2)", "B:KILLFOCUS", "A:SETFOCUS",
                                      "A:LBUTTONDOWN", "A:LBUTTONUP", "A:LBUTTONDBLCLK", "A:LBUTTONUP"}));
  // A window behind its modal dialog takes no taps.
  EnableWindow(a, FALSE);
  log.clear();
  TestTap(10, 40);
  Pump();
  EXPECT_EQ(Trace({{a, "A"}, {b, "B"}}), std::vector<std::string>{});
}

TEST_F(WindowTest, KeysGoToTheFocusAndTranslateToCharacters) {
  struct Row {
    const char* key;
    UINT message;  // WM_CHAR, WM_SYSCHAR, or 0 for none
    WCHAR unit;
  };
  const Row rows[] = {
      {"A", WM_CHAR, u'a'},          {"Shift+A", WM_CHAR, u'A'},   {"Ctrl+A", WM_CHAR, 1},
      {"Alt+A", WM_SYSCHAR, u'a'},   {"Ctrl+Alt+A", 0, 0},          {"7", WM_CHAR, u'7'},
      {"Shift+1", WM_CHAR, u'!'},    {"VK_RETURN", WM_CHAR, u'\r'}, {"VK_ESCAPE", WM_CHAR, 0x1B},
      {"VK_BACK", WM_CHAR, 0x08},    {"VK_SPACE", WM_CHAR, u' '},   {"VK_UP", 0, 0},
      {"F3", 0, 0},                  {"VK_NEXT", 0, 0},
  };
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  HWND c = Make(u"c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a);
  SetFocus(c);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    log.clear();
    ASSERT_TRUE(TestKey(r.key));
    Pump();
    std::vector<std::pair<UINT, WPARAM>> chars;
    bool keyToFocus = false;
    for (const Seen& s : log) {
      if (s.message == WM_CHAR || s.message == WM_SYSCHAR) chars.push_back({s.message, s.wParam});
      if ((s.message == WM_KEYDOWN || s.message == WM_SYSKEYDOWN) && s.window == c) keyToFocus = true;
    }
    EXPECT_TRUE(keyToFocus);
    if (r.message == 0) {
      EXPECT_TRUE(chars.empty());
    } else {
      EXPECT_EQ(chars, (std::vector<std::pair<UINT, WPARAM>>{{r.message, r.unit}}));
    }
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  }
  // Typed text arrives as it is, to the focus.
  log.clear();
  TestType(u"\u05D0b");
  Pump();
  EXPECT_EQ(Trace({{c, "c"}}), (std::vector<std::string>{"c:CHAR", "c:CHAR"}));
}

TEST_F(WindowTest, AcceleratorsTakeTheirKeys) {
  const ACCEL entries[] = {
      {FVIRTKEY | FCONTROL, 'F', 40006}, {FVIRTKEY | FALT, VK_F3, 116},
      {FVIRTKEY, VK_F3, 117},            {FVIRTKEY | FCONTROL | FSHIFT, 'F', 500},
      {FVIRTKEY | FCONTROL, 'Q', 40005}, {0, 'x', 600},
  };
  std::vector<AcceleratorEntry> stored;
  for (const ACCEL& e : entries) stored.push_back({e.fVirt, e.key, e.cmd});
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeAcceleratorTable(stored, &bytes, &error)) << error;
  ASSERT_TRUE(TestUseResources({{9, 3, bytes}}));
  HACCEL tables[] = {CreateAcceleratorTableW(entries, 6), LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(3))};
  PlatformUseEmbeddedResources();
  EXPECT_EQ(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(3)), nullptr);

  struct Row {
    const char* key;
    int command;  // 0: not taken
    UINT message; // the message the key came as
  };
  const Row rows[] = {
      {"Ctrl+F", 40006, WM_KEYDOWN}, {"Alt+F3", 116, WM_SYSKEYDOWN}, {"F3", 117, WM_KEYDOWN},
      {"Ctrl+Shift+F", 500, WM_KEYDOWN}, {"Ctrl+Q", 40005, WM_KEYDOWN}, {"F", 0, WM_KEYDOWN},
      {"Shift+F3", 0, WM_KEYDOWN}, {"Ctrl+Alt+F3", 0, WM_KEYDOWN}, {"Alt+F", 0, WM_SYSKEYDOWN},
      {"X", 600, WM_KEYDOWN},
  };
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  for (HACCEL table : tables) {
    ASSERT_NE(table, nullptr);
    for (const Row& r : rows) {
      SCOPED_TRACE(r.key);
      log.clear();
      ASSERT_TRUE(TestKey(r.key));
      std::vector<UINT> keyMessages;
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
          if (m.wParam != VK_CONTROL && m.wParam != VK_MENU && m.wParam != VK_SHIFT) keyMessages.push_back(m.message);
        }
        if (!TranslateAcceleratorW(a, table, &m)) {
          TranslateMessage(&m);
          DispatchMessageW(&m);
        }
      }
      EXPECT_EQ(keyMessages, std::vector<UINT>{r.message});
      std::vector<WPARAM> commands;
      for (const Seen& s : log)
        if (s.message == WM_COMMAND) commands.push_back(s.wParam);
      if (r.command == 0) {
        EXPECT_TRUE(commands.empty());
      } else {
        EXPECT_EQ(commands, std::vector<WPARAM>{MAKEWPARAM(r.command, 1)});
      }
    }
  }
  MSG m{a, WM_KEYDOWN, VK_F3, 0, 0, {}};
  EXPECT_EQ(TranslateAcceleratorW(nullptr, tables[0], &m), 0);
  EXPECT_EQ(TranslateAcceleratorW(a, nullptr, &m), 0);
  EXPECT_TRUE(DestroyAcceleratorTable(tables[0]));
  EXPECT_FALSE(DestroyAcceleratorTable(tables[0]));
  EXPECT_EQ(TranslateAcceleratorW(a, tables[0], &m), 0);
  EXPECT_EQ(CreateAcceleratorTableW(entries, 0), nullptr);
  EXPECT_EQ(CreateAcceleratorTableW(nullptr, 3), nullptr);
}

TEST_F(WindowTest, QuitEndsTheLoopAfterWhatWasPosted) {
  HWND a = Make(u"A", 0, 0, 26, 100, 100);
  PostMessageW(a, WM_COMMAND, 1, 0);
  PostQuitMessage(7);
  PostMessageW(a, WM_COMMAND, 2, 0);
  log.clear();
  EXPECT_EQ(RunLoop(), 7);
  EXPECT_EQ(Trace({{a, "A"}}), (std::vector<std::string>{"A:COMMAND(1)", "A:COMMAND(2)"}));
  MSG m;
  EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
  EXPECT_EQ(GetMessageW(&m, reinterpret_cast<HWND>(static_cast<uintptr_t>(0x999)), 0, 0), -1);
}

TEST_F(WindowTest, PostedMessagesAreFilteredByWindowAndRange) {
  HWND a = Make(u"A", 0, 0, 26, 100, 100);
  HWND b = Make(u"B", 0, 0, 26, 100, 100);
  PostMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(b, WM_USER + 2, 0, 0);
  PostMessageW(nullptr, WM_USER + 3, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

// A dialog of the simplest kind: a popup whose loop runs until it is gone.
struct Modal {
  static int cancels;
  static bool stubborn;
  static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) {
      ++cancels;
      if (!stubborn) DestroyWindow(h);
      return 0;
    }
    if (m == WM_CLOSE && stubborn) return 0;
    return DefWindowProcW(h, m, w, l);
  }
  static void Run(HWND owner) {
    HWND d = CreateWindowExW(0, u"Modal", u"Dialog", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 60, 200, 150, owner,
                             nullptr, nullptr, nullptr);
    EnableWindow(owner, FALSE);
    EnterModalLoop(d);
    MSG msg;
    while (IsWindow(d) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageW(d, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    LeaveModalLoop(d);
    EnableWindow(owner, TRUE);
  }
};
int Modal::cancels = 0;
bool Modal::stubborn = false;

TEST_F(WindowTest, InputRunningOutCancelsModalLoopsThenClosesTheProgram) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Modal::Proc;
  wc.lpszClassName = u"Modal";
  ASSERT_NE(RegisterClassW(&wc), 0);
  for (bool stubborn : {false, true}) {
    SCOPED_TRACE(stubborn);
    Modal::cancels = 0;
    Modal::stubborn = stubborn;
    bool nestedEnded = false;
    handler = [&](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
      if (m == WM_COMMAND && LOWORD(w) == 100) {
        Modal::Run(h);
        nestedEnded = true;
      }
      if (m == WM_DESTROY) PostQuitMessage(0);
      *handled = m == WM_COMMAND;
      return 0;
    };
    HWND main = Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
    PostMessageW(main, WM_COMMAND, 100, 0);
    log.clear();
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_TRUE(nestedEnded);
    EXPECT_EQ(Modal::cancels, 1);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(TestModalLoops().empty());
    std::vector<std::string> trace = Trace({{main, "M"}});
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "M:CLOSE");
    EXPECT_EQ(trace.back(), "M:DESTROY");
  }
}

TEST_F(WindowTest, IdleCallbackDrivesTheLoop) {
  int calls = 0;
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  handler = [](HWND, UINT m, WPARAM, LPARAM, bool*) -> LRESULT {
    if (m == WM_DESTROY) PostQuitMessage(5);
    return 0;
  };
  TestSetIdleCallback([&] {
    ++calls;
    if (calls == 1) TestTap(10, 40);
    if (calls == 2) TestCommand(42);
    return calls < 3;
  });
  log.clear();
  EXPECT_EQ(RunLoop(), 5);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(Trace({{a, "A"}}), (std::vector<std::string>{"A:LBUTTONDOWN", "A:LBUTTONUP", "A:COMMAND(42)",
                                                         "A:CLOSE", "A:ACTIVATE(0)", "A:KILLFOCUS", "A:DESTROY"}));
}

TEST_F(WindowTest, DialogKeysAndTabStops) {
  HWND d = Make(u"D", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 60, 200, 150);
  HWND first = Make(u"1", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 20, 20, d);
  Make(u"no stop", WS_CHILD | WS_VISIBLE, 30, 5, 20, 20, d);
  HWND last = Make(u"3", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 60, 5, 20, 20, d);
  struct Row {
    const char* key;
    HWND focus;
    const char* command;
  };
  const Row rows[] = {{"VK_TAB", first, ""}, {"VK_TAB", last, ""}, {"VK_TAB", first, ""},
                      {"Shift+VK_TAB", last, ""}, {"VK_RETURN", last, "D:COMMAND(1)"},
                      {"VK_ESCAPE", last, "D:COMMAND(2)"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    log.clear();
    TestKey(r.key);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(d, &m)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
    EXPECT_EQ(GetFocus(), r.focus);
    std::vector<std::string> trace = Trace({{d, "D"}});
    std::vector<std::string> commands;
    for (const std::string& t : trace)
      if (t.find("COMMAND") != std::string::npos) commands.push_back(t);
    EXPECT_EQ(commands, r.command[0] ? std::vector<std::string>{r.command} : std::vector<std::string>{});
  }
  MSG other{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_FALSE(IsDialogMessageW(d, &other));
}

TEST_F(WindowTest, WindowLongsTextAndRelations) {
  HWND a = Make(u"Hello", WS_VISIBLE, 0, 26, 100, 100);
  HWND c = Make(u"c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a, 0, 1013);
  HWND p = Make(u"P", WS_POPUP, 0, 26, 10, 10, c);
  HWND o = Make(u"O", 0, 0, 26, 10, 10, a);
  EXPECT_EQ(GetWindowLongW(c, GWL_ID), 1013);
  EXPECT_EQ(GetParent(c), a);
  EXPECT_EQ(GetParent(p), a);  // a popup's parent is its owner, the top-level window
  EXPECT_EQ(GetWindow(p, GW_OWNER), a);
  EXPECT_EQ(GetParent(o), nullptr);
  EXPECT_EQ(GetWindow(a, GW_CHILD), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);

  struct Row {
    int index;
    LONG value;
    LONG stored;  // what reads back
  };
  const Row rows[] = {{GWL_USERDATA, -5, -5}, {GWL_ID, 77, 77}, {0, 11, 11}, {4, 12, 12}, {12, 13, 13},
                      {13, 14, 0},            {16, 15, 0},      {-100, 9, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.index);
    SetWindowLongW(a, r.index, r.value);
    EXPECT_EQ(GetWindowLongW(a, r.index), r.stored);
  }
  SetWindowLongPtrW(a, 8, LONG_PTR{0x123456789});
  EXPECT_EQ(GetWindowLongPtrW(a, 8), LONG_PTR{0x123456789});
  SetWindowLongPtrW(a, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&rows));
  EXPECT_EQ(GetWindowLongPtrW(a, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&rows));

  WCHAR text[16];
  EXPECT_EQ(GetWindowTextW(a, text, 3), 2);
  EXPECT_EQ(std::u16string(text), u"He");
  EXPECT_EQ(GetWindowTextW(a, text, 16), 5);
  EXPECT_EQ(GetWindowTextLengthW(a), 5);
  EXPECT_TRUE(SetWindowTextW(a, nullptr));
  EXPECT_EQ(GetWindowTextLengthW(a), 0);
  EXPECT_EQ(GetClassNameW(a, text, 16), 5);
  EXPECT_EQ(std::u16string(text), u"Probe");

  EXPECT_EQ(FindWindowW(u"probe", u"O"), o);
  EXPECT_EQ(FindWindowW(u"Probe", u""), a);
  EXPECT_EQ(FindWindowW(u"HHTaskBar", u""), FindWindowW(u"HHTaskBar", nullptr));
  EXPECT_EQ(FindWindowW(u"Nothing", nullptr), nullptr);
  EXPECT_EQ(FindWindowW(u"Probe", u"c"), nullptr);  // children are not found
}

// Subclassing through the window long: the new procedure sees the message
// first and hands it on with CallWindowProcW.
LONG g_oldProc = 0;
LONG_PTR g_oldProcPtr = 0;
int g_subclassed = 0;
LRESULT Subclass(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) ++g_subclassed;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(g_oldProc)), h, m, w, l);
}
LRESULT SubclassPtr(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) g_subclassed += 10;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(g_oldProcPtr), h, m, w, l);
}

TEST_F(WindowTest, SubclassingThroughTheWindowLong) {
  HWND a = Make(u"A", 0, 0, 26, 10, 10);
  g_subclassed = 0;
  g_oldProc = GetWindowLongW(a, GWL_WNDPROC);
  ASSERT_NE(g_oldProc, 0);
  EXPECT_EQ(SetWindowLongW(a, GWL_WNDPROC, 12345), 0);  // not a procedure
  EXPECT_NE(SetWindowLongPtrW(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)), 0);
  EXPECT_EQ(GetWindowLongPtrW(a, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
  log.clear();
  SendMessageW(a, WM_USER, 0, 0);
  EXPECT_EQ(g_subclassed, 1);
  EXPECT_EQ(log.size(), 1u);  // the probe still got it
  g_oldProcPtr = SetWindowLongPtrW(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassPtr));
  EXPECT_EQ(g_oldProcPtr, reinterpret_cast<LONG_PTR>(Subclass));
  SendMessageW(a, WM_USER, 0, 0);
  EXPECT_EQ(g_subclassed, 12);
  EXPECT_NE(SetWindowLongW(a, GWL_WNDPROC, g_oldProc), 0);
  SendMessageW(a, WM_USER, 0, 0);
  EXPECT_EQ(g_subclassed, 12);
}

}  // namespace
