// Dialog boxes from templates: creation, the dialog manager's default
// handling, the modal loop and the calls on dialog items.
#include <algorithm>
#include <vector>

#include "platform/controls/dialog_template.h"
#include "platform/controls/internal.h"
#include "platform/dialogs.h"
#include "platform/resource.h"
#include "platform/window/shared.h"

namespace controls {
namespace {

struct Dialog : Base {
  DLGPROC proc = nullptr;
  bool initialised = false;  // WM_INITDIALOG sent: the procedure sees messages
  bool ended = false;
  int result = 0;
  HFONT font = nullptr;
  bool ownsFont = false;
  POINT units{4, 8};
  std::vector<HBITMAP> bitmaps;
  HWND savedFocus = nullptr;
  int defaultId = 0;
};

StateTable<Dialog>& Dialogs() {
  static auto* table = new StateTable<Dialog>;
  return *table;
}

bool IsDescendant(HWND ancestor, HWND window) {
  for (int depth = 0; window != nullptr && depth < 1000; ++depth) {
    if (window == ancestor) return true;
    window = GetParent(window);
  }
  return false;
}

HWND TopLevel(HWND window) {
  if (!IsWindow(window)) return nullptr;
  for (int depth = 0; depth < 1000 && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD); ++depth) {
    HWND parent = GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return window;
}

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> out;
  for (HWND w = GetWindow(dialog, GW_CHILD); w != nullptr && out.size() < 65536; w = GetWindow(w, GW_HWNDNEXT))
    out.push_back(w);
  return out;
}

bool IsClass(HWND window, const char16_t* name) {
  char16_t buffer[16] = {};
  int n = GetClassNameW(window, buffer, 16);
  return n > 0 && std::u16string(buffer, static_cast<size_t>(n)) == name;
}

HWND FirstTabStop(HWND dialog) {
  for (HWND w : Children(dialog)) {
    LONG style = GetWindowLongW(w, GWL_STYLE);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return w;
  }
  return nullptr;
}

void FocusControl(HWND control) {
  SetFocus(control);
  if (IsClass(control, u"EDIT") && GetFocus() == control) SendMessageW(control, EM_SETSEL, 0, -1);
}

int DefaultButton(HWND dialog, const Dialog& d) {
  if (d.defaultId != 0) return d.defaultId;
  for (HWND w : Children(dialog))
    if (IsClass(w, u"BUTTON") && (GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      return GetDlgCtrlID(w);
  return 0;
}

LRESULT DefDialog(HWND dialog, const std::shared_ptr<Dialog>& d, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case DM_GETDEFID: {
      int id = DefaultButton(dialog, *d);
      return id != 0 ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: d->defaultId = static_cast<int>(wParam); return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != dialog && IsDescendant(dialog, focus)) d->savedFocus = focus;
      } else if (d->savedFocus != nullptr && IsWindow(d->savedFocus) && IsDescendant(dialog, d->savedFocus)) {
        SetFocus(d->savedFocus);
      }
      return 0;
    case WM_CTLCOLORSTATIC: return 0;
    default: return DefWindowProcW(dialog, message, wParam, lParam);
  }
}

// Enter and Escape inside a dialog: its default button (or IDOK), IDCANCEL.
bool DialogKey(HWND dialog, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
  if (!IsDescendant(dialog, msg.hwnd)) return false;
  int id = IDCANCEL;
  if (msg.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    LONG type = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
    std::shared_ptr<Dialog> d = Dialogs().Find(dialog);
    if (focus != nullptr && IsDescendant(dialog, focus) && focus != dialog && IsClass(focus, u"BUTTON") &&
        (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW))
      id = GetDlgCtrlID(focus);
    else
      id = d != nullptr && DefaultButton(dialog, *d) != 0 ? DefaultButton(dialog, *d) : IDOK;
  }
  HWND button = GetDlgItem(dialog, id);
  if (button != nullptr && !IsWindowEnabled(button)) return true;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

HFONT TemplateFont(const DialogTemplate& t, bool* owned) {
  *owned = false;
  if (!(t.style & DS_SETFONT) || t.pointSize == 0) return DefaultFont();
  LOGFONTW lf{};
  lf.lfHeight = PointsToHeight(t.pointSize);
  lf.lfWeight = FW_NORMAL;
  std::copy_n(t.face.begin(), std::min<size_t>(t.face.size(), LF_FACESIZE - 1), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return DefaultFont();
  *owned = true;
  return font;
}

RECT ToPixels(POINT units, int x, int y, int width, int height) {
  return {x * units.x / 4, y * units.y / 8, (x + width) * units.x / 4, (y + height) * units.y / 8};
}

HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param) {
  auto pending = std::make_shared<Dialog>();
  pending->proc = proc;
  pending->font = TemplateFont(t, &pending->ownsFont);
  pending->units = BaseUnitsOf(pending->font);
  RECT box = ToPixels(pending->units, t.x, t.y, t.width, t.height);
  int width = box.right - box.left, height = box.bottom - box.top;
  DWORD style = t.style & ~WS_VISIBLE;
  HWND parent = (style & WS_CHILD) ? owner : TopLevel(owner);
  if (!(style & WS_CHILD) && !(t.style & DS_ABSALIGN) && parent != nullptr) {
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    box.left += origin.x;
    box.top += origin.y;
  }
  HFONT font = pending->font;
  bool ownsFont = pending->ownsFont;
  HWND dialog = CreateWindowExW(t.exStyle, u"Dialog", t.caption.c_str(), style, box.left, box.top, width,
                                height, parent, nullptr, instance, &pending);
  std::shared_ptr<Dialog> d = dialog != nullptr ? Dialogs().Find(dialog) : nullptr;
  if (d == nullptr) {
    if (dialog != nullptr) DestroyWindow(dialog);
    if (ownsFont) DeleteObject(font);
    return nullptr;
  }
  // The template gives the client area's size.
  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  int outerWidth = width + (window.right - window.left) - (client.right - client.left);
  int outerHeight = height + (window.bottom - window.top) - (client.bottom - client.top);
  int x = window.left, y = window.top;
  if ((t.style & DS_CENTER) && !(style & WS_CHILD)) {
    x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2);
    y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2);
  }
  SetWindowPos(dialog, nullptr, x, y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);

  for (const DialogItem& item : t.items) {
    const char16_t* className = item.classNumber == DIALOG_CLASS_NAMED ? item.className.c_str()
                                                                        : DialogClassName(item.classNumber);
    RECT r = ToPixels(d->units, item.x, item.y, item.width, item.height);
    HWND control = CreateWindowExW(item.exStyle, className, item.resourceId != 0 ? u"" : item.text.c_str(),
                                   (item.style | WS_CHILD) & ~WS_POPUP, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), instance, nullptr);
    if (d->dead) return nullptr;
    if (control == nullptr) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(d->font), FALSE);
    if (item.resourceId != 0 && (item.style & SS_TYPEMASK) == SS_BITMAP && IsClass(control, u"STATIC")) {
      HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(item.resourceId));
      if (bitmap != nullptr) {
        d->bitmaps.push_back(bitmap);
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
      }
    }
  }

  HWND first = FirstTabStop(dialog);
  d->initialised = true;
  BOOL focusFirst =
      proc != nullptr ? proc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) : TRUE;
  if (d->dead || !IsWindow(dialog)) return nullptr;
  HWND chosen = GetFocus();
  if (!IsDescendant(dialog, chosen)) chosen = nullptr;
  if (focusFirst && first != nullptr && IsWindow(first)) FocusControl(first);
  if ((t.style & WS_VISIBLE) && !d->ended) ShowWindow(dialog, SW_SHOW);
  if (d->dead || !IsWindow(dialog)) return nullptr;
  HWND want = dialog;
  if (focusFirst && first != nullptr && IsWindow(first)) want = first;
  else if (chosen != nullptr && IsWindow(chosen)) want = chosen;
  if (!d->ended && IsWindowVisible(dialog) && GetFocus() != want) {
    if (want == first) FocusControl(want);
    else SetFocus(want);
  }
  return IsWindow(dialog) ? dialog : nullptr;
}

bool ReadTemplate(const DLGTEMPLATE* pointer, size_t available, DialogTemplate* out) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(pointer);
  if (bytes == nullptr) return false;
  size_t size = DialogTemplateSize(bytes);
  if (size == 0 || size > available) return false;
  return DecodeDialogTemplate(bytes, size, out, nullptr);
}

int RunModal(HINSTANCE instance, DialogTemplate t, HWND owner, DLGPROC proc, LPARAM param) {
  t.style |= WS_VISIBLE;  // a modal dialog shows whether or not its template asks
  HWND top = TopLevel(owner);
  bool disable = top != nullptr && IsWindowEnabled(top);
  HWND dialog = CreateFromTemplate(instance, t, top, proc, param);
  if (dialog == nullptr) return -1;
  std::shared_ptr<Dialog> d = Dialogs().Find(dialog);
  if (d == nullptr) return -1;
  if (disable && !d->ended) EnableWindow(top, FALSE);
  EnterModalLoop(dialog);
  while (!d->ended && !d->dead) {
    MSG msg{};
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (DialogKey(dialog, msg)) continue;
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  LeaveModalLoop(dialog);
  int result = d->ended ? d->result : IDCANCEL;
  if (disable && IsWindow(top)) EnableWindow(top, TRUE);
  if (!d->dead && IsWindow(dialog)) DestroyWindow(dialog);
  if (disable && IsWindow(top) && IsWindowVisible(top) && GetActiveWindow() != top) SetForegroundWindow(top);
  return result;
}

}  // namespace

LRESULT DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* pending = create != nullptr ? static_cast<std::shared_ptr<Dialog>*>(create->lpCreateParams) : nullptr;
    if (pending == nullptr || *pending == nullptr) return -1;
    std::shared_ptr<Dialog> d = Dialogs().Create(dialog);
    *d = **pending;
    return 0;
  }
  std::shared_ptr<Dialog> d = Dialogs().Find(dialog);
  if (d == nullptr) return DefWindowProcW(dialog, message, wParam, lParam);
  if (message == WM_DESTROY) {
    if (d->initialised && d->proc != nullptr) d->proc(dialog, message, wParam, lParam);
    Dialogs().Erase(dialog);
    if (d->ownsFont) DeleteObject(d->font);
    for (HBITMAP b : d->bitmaps) DeleteObject(b);
    return 0;
  }
  if (d->initialised && d->proc != nullptr) {
    BOOL handled = d->proc(dialog, message, wParam, lParam);
    if (d->dead) return handled;
    if (handled) {
      if (message == WM_INITDIALOG || message == WM_CTLCOLORSTATIC) return handled;
      return GetWindowLongW(dialog, DWL_MSGRESULT);
    }
  }
  return DefDialog(dialog, d, message, wParam, lParam);
}

}  // namespace controls

using namespace controls;

int DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                            DLGPROC procedure, LPARAM param) {
  DialogTemplate t;
  if (!ReadTemplate(dialogTemplate, SIZE_MAX, &t)) return -1;
  return RunModal(instance, t, owner, procedure, param);
}

int DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC procedure, LPARAM param) {
  HRSRC found = FindResourceW(instance, templateName, RT_DIALOG);
  if (found == nullptr) return -1;
  const void* bytes = LockResource(LoadResource(instance, found));
  DialogTemplate t;
  if (!ReadTemplate(static_cast<const DLGTEMPLATE*>(bytes), SizeofResource(instance, found), &t)) return -1;
  return RunModal(instance, t, owner, procedure, param);
}

HWND CreateDialogIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param) {
  DialogTemplate t;
  if (!ReadTemplate(dialogTemplate, SIZE_MAX, &t)) return nullptr;
  return CreateFromTemplate(instance, t, owner, procedure, param);
}

BOOL EndDialog(HWND dialog, int result) {
  std::shared_ptr<Dialog> d = Dialogs().Find(dialog);
  if (d == nullptr) return FALSE;
  d->ended = true;
  d->result = result;
  // Wakes the dialog's loop when this came from outside a dispatched message.
  PostMessageW(dialog, WM_NULL, 0, 0);
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
  if (!IsWindow(dialog)) return nullptr;
  for (HWND w : Children(dialog))
    if ((GetWindowLongW(w, GWL_ID) & 0xFFFF) == (id & 0xFFFF)) return w;
  return nullptr;
}

int GetDlgCtrlID(HWND control) { return IsWindow(control) ? GetWindowLongW(control, GWL_ID) : 0; }

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr && SetWindowTextW(item, text);
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity) {
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) {
    if (text != nullptr && capacity > 0) text[0] = 0;
    return 0;
  }
  int n = GetWindowTextW(item, text, capacity);
  return n > 0 ? static_cast<UINT>(n) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  if (!IsWindow(dialog)) return FALSE;
  for (HWND w : Children(dialog)) {
    int id = GetDlgCtrlID(w);
    if (id >= first && id <= last)
      SendMessageW(w, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? SendMessageW(item, message, wParam, lParam) : 0;
}

LONG GetDialogBaseUnits(void) {
  POINT units = BaseUnitsOf(DefaultFont());
  return MAKELONG(units.x, units.y);
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  if (rect == nullptr) return FALSE;
  std::shared_ptr<Dialog> d = Dialogs().Find(dialog);
  if (d == nullptr) return FALSE;
  *rect = ToPixels(d->units, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  return TRUE;
}
