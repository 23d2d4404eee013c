// The About box with its link to the vendor's web site, and the update
// check, which opens the vendor's update page with the product and version.
#include <cstring>

#include "shell/resource_ids.h"
#include "shell/shell_state.h"

namespace {

const int kTextCapacity = 100;
const int kUrlCapacity = 200;

// The link's font, for the life of the dialog.
HFONT LinkFont;

// Appends one unit to a zero-terminated buffer of kUrlCapacity units; what
// does not fit is dropped.
void Append(WCHAR* url, int* length, const WCHAR* text) {
  while (*text != 0 && *length < kUrlCapacity - 1) url[(*length)++] = *text++;
  url[*length] = 0;
}

bool CopiedAsItIs(WCHAR unit) {
  return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
         unit == u'.' || unit == u'/';
}

}  // namespace

void EscapeQueryText(WCHAR* url, int* length, const WCHAR* text) {
  for (; *text != 0; ++text) {
    WCHAR piece[8] = {*text, 0};
    if (*text == u' ') {
      piece[0] = u'+';
    } else if (!CopiedAsItIs(*text)) {
      static const char kHex[] = "0123456789ABCDEF";
      unsigned value = *text;
      int digits = value > 0xFFF ? 4 : value > 0xFF ? 3 : 2;
      piece[0] = u'%';
      for (int i = 0; i < digits; ++i) piece[1 + i] = static_cast<WCHAR>(kHex[(value >> (4 * (digits - 1 - i))) & 15]);
      piece[1 + digits] = 0;
    }
    Append(url, length, piece);
  }
}

HFONT PrepareLinkButton(HWND dialog) {
  HWND button = GetDlgItem(dialog, IDC_VENDOR_LINK);
  HDC dc = GetDC(button);
  LOGFONTW description{};
  if (HFONT current = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)))
    GetObjectW(current, sizeof description, &description);
  description.lfUnderline = TRUE;
  if (description.lfFaceName[0] == 0) std::memcpy(description.lfFaceName, u"Tahoma", sizeof u"Tahoma");
  if (description.lfHeight == 0) description.lfHeight = -(GetDeviceCaps(dc, LOGPIXELSY) * 10) / 72;
  description.lfWeight = 800;
  HFONT font = CreateFontIndirectW(&description);
  if (font == nullptr) {
    ReleaseDC(button, dc);
    return nullptr;
  }
  SelectObject(dc, font);
  WCHAR text[kTextCapacity + 1] = {};
  int length = GetWindowTextW(button, text, kTextCapacity);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SIZE extent{};
  int fit = 0;
  GetTextExtentExPointW(dc, text, length, 0, &fit, nullptr, &extent);
  SetWindowPos(button, nullptr, 0, 0, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE),
               extent.cy + 2 * GetSystemMetrics(SM_CYEDGE), SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
  ReleaseDC(button, dc);
  return font;
}

void DrawLinkButton(HWND dialog, int id, const DRAWITEMSTRUCT* item) {
  WCHAR text[kTextCapacity + 1] = {};
  int length = GetDlgItemTextW(dialog, id, text, kTextCapacity);
  HDC dc = item->hDC;
  SetTextColor(dc, RGB(0, 0, 255));
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, RGB(255, 255, 255));
  ExtTextOutW(dc, GetSystemMetrics(SM_CXEDGE) / 2, 0, ETO_OPAQUE, &item->rcItem, text, static_cast<UINT>(length),
              nullptr);
}

BOOL AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      LinkFont = PrepareLinkButton(dialog);
      return FALSE;
    case WM_DRAWITEM:
      DrawLinkButton(dialog, static_cast<int>(wParam), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wParam));
          if (LinkFont != nullptr) DeleteObject(LinkFont);
          LinkFont = nullptr;
          return TRUE;
        case IDC_VENDOR_LINK:
          OpenVendorSite(GetDlgItem(dialog, IDC_VENDOR_LINK));
          return FALSE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

void OpenUrl(HWND window, LPCWSTR url) {
  SHELLEXECUTEINFO info{};
  info.cbSize = SHELLEXECUTEINFO_HANDHELD_SIZE;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = window;
  info.lpVerb = u"Open";
  info.lpFile = url;
  ShellExecuteEx(&info);
}

void OpenVendorSite(HWND window) { OpenUrl(window, VENDOR_SITE_URL); }

void CheckForUpdates(HWND window) {
  WCHAR url[kUrlCapacity];
  int length = 0;
  url[0] = 0;
  Append(url, &length, VENDOR_SITE_URL u"/cgi-bin/upgrade?p=arm/");
  EscapeQueryText(url, &length, u"Varnatek/Lumora");
  Append(url, &length, u"&v=" PRODUCT_VERSION);
  OpenUrl(window, url);
}
