// The records that processes of the same user exchange over their sockets.
// A connection carries one request; the receiver answers "accepted" as soon
// as the request waits for its window thread, then the result once that
// thread has run it (or "refused" instead of either). Numbers are little-endian.
// Internal to the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace instance {

// No record is longer; a longer one is refused whole.
constexpr size_t kMaxRecord = 4096;
// UTF-16 units of a class name or a title.
constexpr size_t kMaxName = 1024;

enum class Ask : uint8_t {
  kFind = 1,           // a top-level window by class and title: its number, or 0
  kSend = 2,           // a message to one of the receiver's top-level windows: the result
  kForeground = 3,     // the receiver's active window when it has the user's focus, or 0
  kSetForeground = 4,  // bring a window of the receiver to the front: TRUE or FALSE
  kParent = 5,         // GetParent of one of the receiver's windows: its number, or 0
};

struct Request {
  Ask ask = Ask::kFind;
  // kSend, kSetForeground, kParent: which run of the receiver the sender
  // knows the window from (a new process may have the same pid and numbers).
  uint64_t process = 0;
  uint64_t window = 0;
  uint32_t message = 0;  // kSend
  uint64_t wParam = 0;
  uint64_t lParam = 0;
  bool anyClass = true;  // kFind: a missing name matches any window
  bool anyTitle = true;
  std::u16string className;
  std::u16string title;
};

enum class Answer : uint8_t { kAccepted = 0x80, kResult = 0x81, kRefused = 0x82 };

struct Reply {
  Answer answer = Answer::kRefused;
  uint64_t process = 0;  // the receiver's run
  uint64_t value = 0;
};

std::vector<uint8_t> EncodeRequest(const Request& request);
// Only a record exactly as EncodeRequest writes it is taken.
bool DecodeRequest(const uint8_t* data, size_t size, Request* request);
std::vector<uint8_t> EncodeReply(const Reply& reply);
bool DecodeReply(const uint8_t* data, size_t size, Reply* reply);

// Whether a message means the same in another process: its parameters (and
// its result) are plain numbers, not pointers or handles of the sender's.
bool CarriesOnlyNumbers(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace instance
