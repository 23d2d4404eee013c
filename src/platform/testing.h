// Controls that tests and fuzz targets use to drive the platform and watch
// what the app did with it. The app never includes this header.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/resource_pack.h"
#include "platform/types.h"

// Allocation: the nth allocation call from now fails (1 = the next one; 0
// cancels). Calls are counted across LocalAlloc and LocalReAlloc.
void TestFailAllocationAt(unsigned long nth);
unsigned long TestAllocationCalls();
long TestLiveAllocations();

// Message boxes shown so far, oldest first.
struct MessageBoxRecord {
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;  // "Error" when none was given
  bool hasCaption = false;
  UINT flags = 0;
};
const std::vector<MessageBoxRecord>& TestMessageBoxes();
// The answer of the next box, given once it has been painted, without
// input. A box with no queued answer waits for input; when the input ends it
// is cancelled: IDCANCEL, or IDNO for Yes/No, else IDOK.
void TestQueueMessageBoxAnswer(int answer);
void TestClearMessageBoxes();

// Replaces the resources in use by these (PlatformUseEmbeddedResources goes back).
bool TestUseResources(std::vector<PackResource> resources);

// The screen: its size, one pixel as a colour (CLR_INVALID outside it), and
// a PNG of the whole of it.
int TestScreenWidth();
int TestScreenHeight();
COLORREF TestScreenPixel(int x, int y);
bool TestSaveScreen(const std::string& path, std::string* error);

// The clipboard: emptied and closed; and the bytes of one format as it holds
// them (empty when it holds none).
void TestResetClipboard();
std::vector<uint8_t> TestClipboardBytes(UINT format);
