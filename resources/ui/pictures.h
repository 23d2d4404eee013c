// The reader's pictures, drawn pixel by pixel: the toolbar strip, the
// program icon, the About box's logo and the index list's icons.
#pragma once

#include "platform/bitmap_resource.h"
#include "platform/window/ui_resources.h"

namespace ui {

constexpr int kToolbarImages = 6;
constexpr int kToolbarSide = 16;

// Back, index, forward, font, search, search again; palette entry 0 is the
// grey the bars see through.
IndexedBitmap ToolbarStrip();
IconImage ProgramIcon();
IndexedBitmap Logo();
// 0 the plus box, 1 the minus box, 2 the document.
IndexedBitmap IndexIcon(int which);

}  // namespace ui
