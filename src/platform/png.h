// PNG pictures of drawing surfaces, for tests, screenshots and the tools.
// Not part of the app's interface.
#pragma once

#include <string>

#include "platform/gdi.h"

// The bitmap, whole.
bool SavePng(HBITMAP bitmap, const std::string& path, std::string* error);
// What the context draws into: its bitmap, or for a screen context the part
// of the screen it may draw on.
bool SavePng(HDC dc, const std::string& path, std::string* error);
