// The controls' colours, which tests probe on the screen.
#pragma once

#include "platform/gdi.h"

namespace controls {

constexpr COLORREF kGround = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kFrame = RGB(0, 0, 0);
constexpr COLORREF kGrayText = RGB(128, 128, 128);
constexpr COLORREF kHighlight = RGB(0, 80, 200);
constexpr COLORREF kHighlightText = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(232, 232, 232);
constexpr COLORREF kTrack = RGB(232, 232, 232);
constexpr COLORREF kTrackPressed = RGB(200, 200, 200);
constexpr COLORREF kThumb = RGB(168, 168, 168);

}  // namespace controls
