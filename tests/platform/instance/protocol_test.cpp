// The records between processes: what is written reads back the same, and
// anything else is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/instance/protocol.h"
#include "platform/menus.h"
#include "platform/user.h"

namespace {

using instance::Answer;
using instance::Ask;
using instance::Reply;
using instance::Request;

Request Find(const char16_t* className, const char16_t* title) {
  Request r;
  r.anyClass = className == nullptr;
  r.anyTitle = title == nullptr;
  if (className != nullptr) r.className = className;
  if (title != nullptr) r.title = title;
  return r;
}

Request Other(Ask ask, uint64_t process, uint64_t window, uint32_t message = 0, uint64_t w = 0, uint64_t l = 0) {
  Request r;
  r.ask = ask;
  r.process = process;
  r.window = window;
  r.message = message;
  r.wParam = w;
  r.lParam = l;
  return r;
}

bool Same(const Request& a, const Request& b) {
  return a.ask == b.ask && a.process == b.process && a.window == b.window && a.message == b.message &&
         a.wParam == b.wParam && a.lParam == b.lParam && a.anyClass == b.anyClass && a.anyTitle == b.anyTitle &&
         a.className == b.className && a.title == b.title;
}

TEST(InstanceProtocol, RequestsAndRepliesReadBackAsWritten) {
  const Request requests[] = {
      Find(u"Lumora", u"Lumora"),
      Find(nullptr, u"Lumora"),
      Find(u"Lumora", nullptr),
      Find(nullptr, nullptr),
      Find(u"", u""),
      Find(u"\u05D0\u05D1", std::u16string(instance::kMaxName, u'x').c_str()),
      Other(Ask::kSend, 0x0123456789ABCDEF, 0x40000, WM_COMMAND, 119, 0),
      Other(Ask::kSend, 1, ~uint64_t{0}, 0xFFFFFFFF, ~uint64_t{0}, ~uint64_t{0}),
      Other(Ask::kForeground, 0, 0),
      Other(Ask::kSetForeground, 7, 0x40004),
      Other(Ask::kParent, 7, 0x40008),
  };
  for (const Request& r : requests) {
    SCOPED_TRACE(static_cast<int>(r.ask));
    std::vector<uint8_t> bytes = instance::EncodeRequest(r);
    EXPECT_LE(bytes.size(), instance::kMaxRecord);
    Request back;
    ASSERT_TRUE(instance::DecodeRequest(bytes.data(), bytes.size(), &back));
    EXPECT_TRUE(Same(back, r));
  }
  for (Answer a : {Answer::kAccepted, Answer::kResult, Answer::kRefused}) {
    Reply r{a, 0xFEDCBA9876543210, 0x8000000000000001};
    std::vector<uint8_t> bytes = instance::EncodeReply(r);
    Reply back;
    ASSERT_TRUE(instance::DecodeReply(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(back.answer, a);
    EXPECT_EQ(back.process, r.process);
    EXPECT_EQ(back.value, r.value);
  }
}

TEST(InstanceProtocol, MalformedRecordsAreRefused) {
  std::vector<uint8_t> find = instance::EncodeRequest(Find(u"Ab", u"C"));
  std::vector<uint8_t> send = instance::EncodeRequest(Other(Ask::kSend, 1, 2, WM_COMMAND));
  std::vector<uint8_t> reply = instance::EncodeReply(Reply{Answer::kResult, 1, 2});
  auto with = [](std::vector<uint8_t> bytes, size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
  };
  auto cut = [](std::vector<uint8_t> bytes, size_t n) {
    bytes.resize(bytes.size() - n);
    return bytes;
  };
  auto plus = [](std::vector<uint8_t> bytes, std::vector<uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
  };
  // A find whose class name claims more units than are allowed.
  std::vector<uint8_t> tooLong = {0x4C, 0x4D, 0x52, 0x51, 1};
  uint16_t n = instance::kMaxName + 1;
  tooLong.push_back(static_cast<uint8_t>(n));
  tooLong.push_back(static_cast<uint8_t>(n >> 8));
  tooLong.resize(tooLong.size() + 2 * n + 2, 'a');
  tooLong[tooLong.size() - 2] = tooLong[tooLong.size() - 1] = 0xFF;
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    bool request;
    bool taken;
  };
  const Row rows[] = {
      {"find as written", find, true, true},
      {"empty", {}, true, false},
      {"magic", with(find, 0, 'X'), true, false},
      {"ask 0", with(find, 4, 0), true, false},
      {"ask 6", with(find, 4, 6), true, false},
      {"cut short", cut(find, 1), true, false},
      {"a byte more", plus(find, {0}), true, false},
      {"a zero unit in a name", with(with(find, 7, 0), 8, 0), true, false},
      {"a name longer than allowed", tooLong, true, false},
      {"a name longer than the record", with(find, 5, 0x40), true, false},
      {"send as written", send, true, true},
      {"send cut short", cut(send, 1), true, false},
      {"a send read as a find", with(send, 4, 1), true, false},
      {"oversized", std::vector<uint8_t>(instance::kMaxRecord + 1, 0), true, false},
      {"reply as written", reply, false, true},
      {"reply with an unknown answer", with(reply, 4, 0x83), false, false},
      {"reply cut short", cut(reply, 1), false, false},
      {"reply with a byte more", plus(reply, {0}), false, false},
      {"a request read as a reply", send, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Request request;
    Reply answer;
    bool taken = r.request ? instance::DecodeRequest(r.bytes.data(), r.bytes.size(), &request)
                           : instance::DecodeReply(r.bytes.data(), r.bytes.size(), &answer);
    EXPECT_EQ(taken, r.taken);
  }
}

TEST(InstanceProtocol, OnlyMessagesOfPlainNumbersTravel) {
  struct Row {
    UINT message;
    LPARAM lParam;
    bool travels;
  };
  const Row rows[] = {
      {WM_COMMAND, 0, true},          {WM_COMMAND, 0x40010, false},  // from a control
      {WM_CLOSE, 0, true},            {WM_NULL, 0, true},
      {0x3FF, 12, true},              {WM_USER + 5, -1, true},
      {WM_KEYDOWN, 1, true},          {WM_VSCROLL, 0, true},
      {WM_VSCROLL, 0x40010, false},   {WM_SETTEXT, 0, false},
      {WM_GETTEXT, 0, false},         {WM_CREATE, 0, false},
      {WM_ACTIVATE, 0, false},        {WM_SETTINGCHANGE, 0, false},
      {WM_NOTIFY, 0, false},          {WM_HELP, 0, false},
      {EM_REPLACESEL, 0, false},      {LB_ADDSTRING, 0, false},
      {TB_ADDBUTTONSW, 0, false},     {SHCMBM_GETSUBMENU, 0, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.message);
    EXPECT_EQ(instance::CarriesOnlyNumbers(r.message, 0, r.lParam), r.travels);
  }
}

}  // namespace
