#include <functional>

#include "controls_fixture.h"
#include "platform/backend/testing.h"
#include "platform/bitmap_resource.h"
#include "platform/controls/dialog_template.h"
#include "platform/dialogs.h"
#include "platform/resource.h"
#include "platform/window/testing.h"

namespace {

constexpr UINT kGo = WM_USER + 5;     // posted at WM_INITDIALOG: the loop runs
constexpr UINT kAsk = WM_USER + 7;    // answered through DWL_MSGRESULT

// What the dialog procedure does, set by each test.
struct Script {
  BOOL initAnswer = TRUE;
  int focusAt = 0;                      // a control to focus at WM_INITDIALOG
  std::function<void(HWND)> onGo;       // at kGo
  std::function<bool(HWND, int)> onCommand;  // true: handled
  // Seen.
  LPARAM initParam = 0;
  WPARAM initFirst = 0;
  HWND dialog = nullptr;
  std::vector<int> commands;
};
Script g_script;

BOOL ScriptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Script& s = g_script;
  switch (message) {
    case WM_INITDIALOG:
      s.dialog = dialog;
      s.initParam = lParam;
      s.initFirst = wParam;
      if (s.focusAt != 0) SetFocus(GetDlgItem(dialog, s.focusAt));
      PostMessageW(dialog, kGo, 0, 0);
      return s.initAnswer;
    case kGo:
      if (s.onGo) s.onGo(dialog);
      return TRUE;
    case kAsk:
      SetWindowLongW(dialog, DWL_MSGRESULT, 1234);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;  // the edit's notifications
      s.commands.push_back(LOWORD(wParam));
      if (s.onCommand) return s.onCommand(dialog, LOWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default: return FALSE;
  }
}

DialogTemplate Form(bool withFont = true) {
  DialogTemplate d;
  d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | (withFont ? DS_SETFONT : 0);
  d.exStyle = WS_EX_CAPTIONOKBTN;
  d.width = 126;
  d.height = 131;
  d.caption = u"Lumora";
  if (withFont) {
    d.pointSize = 8;
    d.face = u"System";
  }
  auto item = [](uint16_t cls, uint32_t style, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t id,
                 const char16_t* text) { return MakeDialogItem(cls, style | WS_VISIBLE, x, y, w, h, id, text); };
  d.items = {
      item(DIALOG_CLASS_STATIC, SS_CENTER | SS_NOPREFIX, 7, 7, 112, 8, 0xFFFF, u"Search"),
      item(DIALOG_CLASS_EDIT, ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 21, 112, 20, 1013, u"abc"),
      item(DIALOG_CLASS_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 7, 46, 50, 14, 1020, u"Push"),
      item(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 60, 46, 50, 10, 1004, u"224"),
  };
  DialogItem keyboard = item(DIALOG_CLASS_STATIC, SS_BITMAP, 7, 71, 0, 0, 0xFFFF, u"");
  keyboard.resourceId = 119;
  d.items.push_back(keyboard);
  return d;
}

std::vector<uint8_t> Bytes(const DialogTemplate& d) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodeDialogTemplate(d, &bytes, &error)) << error;
  return bytes;
}

const DLGTEMPLATE* AsTemplate(const std::vector<uint8_t>& bytes) {
  return reinterpret_cast<const DLGTEMPLATE*>(bytes.data());
}

std::vector<uint8_t> KeyboardBitmap() {
  IndexedBitmap b;
  b.width = 154;
  b.height = 95;
  b.bitsPixel = 1;
  b.palette = {0xFFFFFF, 0x000000};
  b.indices.assign(154 * 95, 1);
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_TRUE(EncodeBitmapResource(b, &out, &error)) << error;
  return out;
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    TestResetWindowSystem();
    g_script = Script{};
    TestClearMessageBoxes();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"DialogsTestMain";
    RegisterClassW(&wc);
    main_ = CreateWindowExW(0, u"DialogsTestMain", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(TestUseResources({PackResource{2, 119, KeyboardBitmap()}, PackResource{5, 115, Bytes(Form())}}));
  }
  void TearDown() override {
    TestResetWindowSystem();
    TestClearMessageBoxes();
  }
  int Run(const DialogTemplate& d, LPARAM param = 0) {
    std::vector<uint8_t> bytes = Bytes(d);
    return DialogBoxIndirectParamW(nullptr, AsTemplate(bytes), main_, ScriptProc, param);
  }
  HWND main_ = nullptr;
};

TEST_F(Dialogs, BuiltFromTheTemplateWithTheParameterAndTheResult) {
  struct Seen {
    HWND focus = nullptr;
    BOOL ownerEnabled = TRUE;
    std::vector<HWND> modal;
    RECT edit{}, expectedEdit{7, 21, 119, 41}, keyboard{}, window{};
    HFONT editFont = nullptr, dialogFont = nullptr;
    std::u16string editText;
  } seen;
  g_script.onGo = [&](HWND dialog) {
    seen.focus = GetFocus();
    seen.ownerEnabled = IsWindowEnabled(main_);
    seen.modal = TestModalLoops();
    HWND edit = GetDlgItem(dialog, 1013);
    GetWindowRect(edit, &seen.edit);
    MapDialogRect(dialog, &seen.expectedEdit);
    GetClientRect(GetWindow(GetDlgItem(dialog, 1004), GW_HWNDNEXT), &seen.keyboard);
    GetWindowRect(dialog, &seen.window);
    seen.editFont = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    seen.dialogFont = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, 1020, WM_GETFONT, 0, 0));
    char16_t text[16] = {};
    GetDlgItemTextW(dialog, 1013, text, 16);
    seen.editText = text;
    EXPECT_EQ(SendMessageW(dialog, kAsk, 0, 0), 1234) << "DWL_MSGRESULT answers a handled message";
    EndDialog(dialog, 42);
  };
  EXPECT_EQ(Run(Form(), 0x5EED), 42);
  EXPECT_EQ(g_script.initParam, 0x5EED);
  HWND dialog = g_script.dialog;
  EXPECT_FALSE(IsWindow(dialog)) << "destroyed once ended";
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_TRUE(TestModalLoops().empty());

  EXPECT_FALSE(seen.ownerEnabled) << "the owner is disabled while the dialog runs";
  EXPECT_EQ(seen.modal, std::vector<HWND>{dialog});
  EXPECT_EQ(reinterpret_cast<HWND>(g_script.initFirst), seen.focus) << "the first tab stop, the edit";
  EXPECT_NE(seen.focus, nullptr);
  EXPECT_EQ(seen.editText, u"abc");
  EXPECT_NE(seen.editFont, nullptr);
  EXPECT_EQ(seen.editFont, seen.dialogFont) << "every control has the dialog font";
  EXPECT_EQ(seen.keyboard.right, 154) << "the bitmap static takes the bitmap's size";
  EXPECT_EQ(seen.keyboard.bottom, 95);
  int width = seen.window.right - seen.window.left, height = seen.window.bottom - seen.window.top;
  EXPECT_LE(std::abs(seen.window.left - (240 - width) / 2), 1) << "centred";
  EXPECT_LE(std::abs(seen.window.top - (320 - height) / 2), 1);
  EXPECT_EQ(seen.edit.right - seen.edit.left, seen.expectedEdit.right - seen.expectedEdit.left);
  EXPECT_EQ(seen.edit.bottom - seen.edit.top, seen.expectedEdit.bottom - seen.expectedEdit.top);
}

TEST_F(Dialogs, FocusFollowsTheInitialisationAnswer) {
  struct Row {
    const char* name;
    BOOL answer;
    int focusAt;
    int expected;  // the focused control's id; 0 for the dialog itself
  } rows[] = {
      {"TRUE: the first tab stop", TRUE, 0, 1013},
      {"TRUE overrides the procedure's choice", TRUE, 1020, 1013},
      {"FALSE: the procedure's choice", FALSE, 1020, 1020},
      {"FALSE without a choice: the dialog", FALSE, 0, 0},
  };
  // A modal dialog shows whether or not its template says WS_VISIBLE.
  for (bool visibleTemplate : {true, false}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (visibleTemplate ? "" : ", template not visible"));
      g_script = Script{};
      g_script.initAnswer = row.answer;
      g_script.focusAt = row.focusAt;
      HWND focus = nullptr, expected = nullptr;
      BOOL shown = FALSE;
      int wanted = row.expected;
      g_script.onGo = [&](HWND dialog) {
        focus = GetFocus();
        shown = IsWindowVisible(dialog);
        expected = wanted != 0 ? GetDlgItem(dialog, wanted) : dialog;
        EndDialog(dialog, 1);
      };
      DialogTemplate form = Form();
      if (!visibleTemplate) form.style &= ~static_cast<uint32_t>(WS_VISIBLE);
      EXPECT_EQ(Run(form), 1);
      EXPECT_TRUE(shown);
      EXPECT_EQ(focus, expected);
      EXPECT_NE(focus, nullptr);
    }
  }
}

TEST_F(Dialogs, EnterAndEscapeAreOkAndCancel) {
  struct Row {
    const char* name;
    WPARAM key;
    int defaultStyle;  // BS_DEFPUSHBUTTON on 1020, or not
    int focus;         // the control that has the focus
    int result;
  } rows[] = {
      {"enter", VK_RETURN, BS_PUSHBUTTON, 1013, IDOK},
      {"escape", VK_ESCAPE, BS_PUSHBUTTON, 1013, IDCANCEL},
      {"enter with a default button", VK_RETURN, BS_DEFPUSHBUTTON, 1013, 1020},
      {"escape with a default button", VK_ESCAPE, BS_DEFPUSHBUTTON, 1013, IDCANCEL},
      {"enter on a push button", VK_RETURN, BS_PUSHBUTTON, 1020, 1020},
      {"enter on a radio button", VK_RETURN, BS_PUSHBUTTON, 1004, IDOK},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_script = Script{};
    WPARAM key = row.key;
    int focus = row.focus;
    g_script.onGo = [key, focus](HWND dialog) {
      SetFocus(GetDlgItem(dialog, focus));
      PostMessageW(GetDlgItem(dialog, focus), WM_KEYDOWN, key, 0);
    };
    g_script.onCommand = [](HWND dialog, int id) {
      EndDialog(dialog, id);
      return true;
    };
    DialogTemplate d = Form();
    d.items[2].style = (d.items[2].style & ~BS_TYPEMASK) | row.defaultStyle;
    EXPECT_EQ(Run(d), row.result);
    EXPECT_EQ(g_script.commands, std::vector<int>{row.result}) << "one command for one key";
  }
}

TEST_F(Dialogs, CancelledWhenInputRunsOut) {
  struct Row {
    const char* name;
    bool endsOnCancel;
  } rows[] = {{"a procedure that ends on IDCANCEL", true}, {"one that ignores every command", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_script = Script{};
    bool ends = row.endsOnCancel;
    g_script.onCommand = [ends](HWND dialog, int id) {
      if (ends && id == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return true;
    };
    EXPECT_EQ(Run(Form()), IDCANCEL);
    EXPECT_EQ(g_script.commands.front(), IDCANCEL);
    EXPECT_FALSE(IsWindow(g_script.dialog));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(TestModalLoops().empty());
  }
}

TEST_F(Dialogs, NestedMessageBoxAndDialog) {
  HWND outer = nullptr;
  int innerResult = 0, boxAnswer = 0;
  BOOL outerEnabledInside = TRUE, mainEnabledInside = TRUE;
  g_script.onGo = [&](HWND dialog) {
    if (outer != nullptr) {  // the inner dialog
      outerEnabledInside = IsWindowEnabled(outer);
      mainEnabledInside = IsWindowEnabled(main_);
      EndDialog(dialog, 7);
      return;
    }
    outer = dialog;
    TestQueueMessageBoxAnswer(IDOK);
    boxAnswer = MessageBoxW(dialog, u"Not Found!", u"Lumora", MB_OK);
    std::vector<uint8_t> bytes = Bytes(Form());
    innerResult = DialogBoxIndirectParamW(nullptr, AsTemplate(bytes), dialog, ScriptProc, 0);
    EXPECT_TRUE(IsWindowEnabled(dialog)) << "the outer dialog is enabled again";
    EndDialog(dialog, 9);
  };
  EXPECT_EQ(Run(Form()), 9);
  EXPECT_EQ(boxAnswer, IDOK);
  ASSERT_EQ(TestMessageBoxes().size(), 1u);
  EXPECT_EQ(TestMessageBoxes()[0].owner, outer);
  EXPECT_EQ(innerResult, 7);
  EXPECT_FALSE(outerEnabledInside);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Dialogs, FromTheResourcesAndRefusals) {
  g_script.onGo = [](HWND dialog) { EndDialog(dialog, 5); };
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(115), main_, ScriptProc, 0), 5);
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(116), main_, ScriptProc, 0), -1) << "no such template";

  std::vector<uint8_t> bytes = Bytes(Form());
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1);
  ASSERT_TRUE(TestUseResources({PackResource{5, 115, cut}}));
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(115), main_, ScriptProc, 0), -1) << "cut short";
  bytes[0] = 'X';
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, AsTemplate(bytes), main_, ScriptProc, 0), -1) << "not a template";
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, main_, ScriptProc, 0), -1);
  EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Dialogs, EndedOrDestroyedDuringInitialisation) {
  struct Row {
    const char* name;
    void (*atInit)(HWND);
    int result;
  } rows[] = {
      {"ended", [](HWND d) { EndDialog(d, 3); }, 3},
      {"destroyed", [](HWND d) { DestroyWindow(d); }, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    static void (*atInit)(HWND);
    atInit = row.atInit;
    DialogTemplate d = Form();
    std::vector<uint8_t> bytes = Bytes(d);
    DLGPROC proc = [](HWND dialog, UINT message, WPARAM, LPARAM) -> BOOL {
      if (message == WM_INITDIALOG) atInit(dialog);
      return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, AsTemplate(bytes), main_, proc, 0), row.result);
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(TestModalLoops().empty());
  }
}

TEST_F(Dialogs, BaseUnitsComeFromTheDialogFont) {
  LONG units = GetDialogBaseUnits();
  int x = LOWORD(units), y = HIWORD(units);
  EXPECT_GE(x, 4);
  EXPECT_LE(x, 8);
  EXPECT_GE(y, 10);
  EXPECT_LE(y, 16);
  for (bool withFont : {true, false}) {
    SCOPED_TRACE(withFont);
    RECT r{7, 71, 11, 79};
    g_script = Script{};
    g_script.onGo = [&r](HWND dialog) {
      MapDialogRect(dialog, &r);
      EndDialog(dialog, 1);
    };
    Run(Form(withFont));
    EXPECT_EQ(r.left, x * 7 / 4) << "the search keyboard's own arithmetic";
    EXPECT_EQ(r.top, y * 71 / 8);
    EXPECT_EQ(r.right, x * 11 / 4);
  }
  RECT r{0, 0, 4, 8};
  EXPECT_FALSE(MapDialogRect(main_, &r)) << "not a dialog";
}

TEST_F(Dialogs, DrivenByTheUsersInput) {
  // The edit has the focus with its text selected; typing replaces it, two
  // shifted left arrows select back, a letter replaces that, a tap on the
  // push button ends the dialog.
  int stage = 0;
  TestSetIdleCallback([&stage] {
    if (stage++ != 0 || g_script.dialog == nullptr) return false;
    TestType(u"xyz");
    TestKey("Shift+Left");
    TestKey("Shift+Left");
    TestType(u"Q");
    RECT button{};
    GetWindowRect(GetDlgItem(g_script.dialog, 1020), &button);
    TestTap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    return true;
  });
  std::u16string text;
  DWORD start = 99, end = 99;
  g_script.onCommand = [&](HWND dialog, int id) {
    if (id != 1020) return false;
    char16_t buffer[16] = {};
    GetDlgItemTextW(dialog, 1013, buffer, 16);
    text = buffer;
    SendDlgItemMessageW(dialog, 1013, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EndDialog(dialog, id);
    return true;
  };
  EXPECT_EQ(Run(Form()), 1020);
  EXPECT_EQ(text, u"xQ");
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 2u);
  TestSetIdleCallback(nullptr);
}

// Controls whose parent destroys them while they tell it something.
HWND g_victim = nullptr;
LRESULT DestroyingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND || message == WM_VSCROLL) && reinterpret_cast<HWND>(lParam) == g_victim &&
      IsWindow(g_victim))
    DestroyWindow(g_victim);
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Dialogs, ControlsDestroyedWhileNotifying) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DestroyingProc;
  wc.lpszClassName = u"DestroyingParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, u"DestroyingParent", u"", WS_POPUP | WS_VISIBLE, 0, 40, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
  struct Row {
    const char* name;
    const char16_t* cls;
    DWORD style;
    void (*act)(HWND);
  } rows[] = {
      {"button clicked", u"BUTTON", BS_AUTORADIOBUTTON,
       [](HWND w) {
         SendMessageW(w, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
         SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
       }},
      {"edit typed into", u"EDIT", ES_AUTOHSCROLL, [](HWND w) { SendMessageW(w, WM_CHAR, 'a', 0); }},
      {"edit focused", u"EDIT", 0, [](HWND w) { SendMessageW(w, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2)); }},
      {"list tapped", u"LISTBOX", LBS_NOTIFY,
       [](HWND w) {
         SendMessageW(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"x"));
         SendMessageW(w, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
         SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
       }},
      {"scroll bar pressed", u"SCROLLBAR", SBS_VERT,
       [](HWND w) {
         SCROLLINFO info{sizeof info, SIF_RANGE, 0, 5, 0, 0, 0};
         SendMessageW(w, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
         SendMessageW(w, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 2));
         SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 2));
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_victim = CreateWindowExW(0, row.cls, u"", WS_CHILD | WS_VISIBLE | row.style, 0, 0, 100, 60, parent,
                               reinterpret_cast<HMENU>(uintptr_t{9}), nullptr, nullptr);
    ASSERT_NE(g_victim, nullptr);
    row.act(g_victim);
    EXPECT_FALSE(IsWindow(g_victim));
    TestPumpMessages();
  }
}

}  // namespace
