// The window classes of menus, bars, tips and message boxes.
#include "platform/menus/internal.h"
#include "platform/window/shared.h"

void RegisterMenuClasses() {
  struct Class {
    const WCHAR* name;
    WNDPROC proc;
  };
  const Class classes[] = {
      {menus::kPopupClass, menus::PopupProc},   {menus::kCommandBarClass, menus::BarProc},
      {menus::kMenuBarClass, menus::BarProc},   {menus::kTipClass, menus::TipProc},
      {menus::kMessageBoxClass, menus::MessageBoxProc},
  };
  for (const Class& c : classes) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = c.proc;
    wc.lpszClassName = c.name;
    RegisterClassW(&wc);
  }
}
