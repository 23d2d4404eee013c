// A parent window that records what its controls tell it, controls made on
// it, taps and keys sent to them, and pixels of the screen read through a
// control's client coordinates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/controls/look.h"
#include "platform/testing.h"
#include "platform/window/testing.h"

struct Heard {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT drawState = 0;  // WM_DRAWITEM: itemState
  UINT drawType = 0;   // WM_DRAWITEM: CtlType
  HGDIOBJ drawFont = nullptr;  // WM_DRAWITEM: the font selected into hDC
};

inline std::vector<Heard>& HeardLog() {
  static std::vector<Heard> log;
  return log;
}

inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_VSCROLL) HeardLog().push_back({message, wParam, lParam});
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    HeardLog().push_back({message, wParam, 0, item->itemState, item->CtlType, GetCurrentObject(item->hDC, OBJ_FONT)});
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestResetWindowSystem();
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"ControlsTestParent";
    ASSERT_NE(RegisterClassW(&wc), 0);
    parent_ = CreateWindowExW(0, u"ControlsTestParent", u"Parent", WS_POPUP | WS_VISIBLE, 0, 30, 240, 260,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    LOGFONTW lf{};
    lf.lfHeight = 16;
    std::u16string face = u"Test Fixed";
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    fixed_ = CreateFontIndirectW(&lf);
    HeardLog().clear();
  }
  void TearDown() override {
    TestResetWindowSystem();
    // The clipboard keeps what the edits copied; give it back.
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    DeleteObject(fixed_);
    HeardLog().clear();
  }

  // A visible child with the Test Fixed font (16-pixel cells, 8-pixel advances).
  HWND Make(const char16_t* cls, DWORD style, int x, int y, int width, int height, int id,
            const char16_t* text = u"") {
    HWND w = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent_,
                             reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(fixed_), FALSE);
    return w;
  }

  static void Down(HWND w, int x, int y) { SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  static void Move(HWND w, int x, int y) { SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  static void Up(HWND w, int x, int y) { SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  static void Tap(HWND w, int x, int y) {
    Down(w, x, y);
    Up(w, x, y);
  }
  static void Key(HWND w, WPARAM key) { SendMessageW(w, WM_KEYDOWN, key, 0); }
  static void Type(HWND w, const std::u16string& text) {
    for (char16_t c : text) SendMessageW(w, WM_CHAR, c, 0);
  }
  static std::u16string Text(HWND w) {
    char16_t buffer[512] = {};
    GetWindowTextW(w, buffer, 512);
    return buffer;
  }
  // A pixel of the screen at a control's client point, after painting it.
  static COLORREF Pixel(HWND w, int x, int y) {
    UpdateWindow(w);
    POINT p{x, y};
    ClientToScreen(w, &p);
    return TestScreenPixel(p.x, p.y);
  }
  // The notification codes heard from one control, in order.
  static std::vector<int> Codes(UINT message, HWND from) {
    std::vector<int> codes;
    for (const Heard& h : HeardLog())
      if (h.message == message && reinterpret_cast<HWND>(h.lParam) == from) codes.push_back(HIWORD(h.wParam));
    return codes;
  }

  HWND parent_ = nullptr;
  HFONT fixed_ = nullptr;
};
