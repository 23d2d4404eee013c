// Message boxes on the headless backend: each one is recorded and answered
// from a queue that a test fills; an empty queue answers IDOK.
#include <deque>

#include "platform/dialogs.h"
#include "platform/testing.h"

namespace {

std::vector<MessageBoxRecord> g_shown;
std::deque<int> g_answers;

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags) {
  MessageBoxRecord r;
  r.owner = owner;
  if (text != nullptr) r.text = text;
  r.hasCaption = caption != nullptr;
  r.caption = caption != nullptr ? caption : u"Error";
  r.flags = flags;
  g_shown.push_back(r);
  if (g_answers.empty()) return IDOK;
  int answer = g_answers.front();
  g_answers.pop_front();
  return answer;
}

void TestQueueMessageBoxAnswer(int answer) { g_answers.push_back(answer); }
const std::vector<MessageBoxRecord>& TestMessageBoxes() { return g_shown; }
void TestClearMessageBoxes() {
  g_shown.clear();
  g_answers.clear();
}
