// Writing and reading the records of the single-instance sockets.
#include "platform/instance/protocol.h"

#include <algorithm>
#include <iterator>

#include "platform/controls.h"
#include "platform/menus.h"
#include "platform/user.h"

namespace instance {
namespace {

constexpr uint32_t kRequestMagic = 0x51524D4C;  // "LMRQ"
constexpr uint32_t kReplyMagic = 0x50524D4C;    // "LMRP"
constexpr uint16_t kNoName = 0xFFFF;
constexpr size_t kReplySize = 4 + 1 + 8 + 8;

class Writer {
 public:
  template <class T>
  void Put(T value) {
    for (size_t i = 0; i < sizeof value; ++i)
      bytes_.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
  }
  void Name(bool any, const std::u16string& name) {
    if (any) {
      Put<uint16_t>(kNoName);
      return;
    }
    Put(static_cast<uint16_t>(name.size()));
    for (char16_t u : name) Put(static_cast<uint16_t>(u));
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <class T>
  bool Get(T* value) {
    if (size_ - at_ < sizeof(T)) return false;
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(data_[at_ + i]) << (8 * i);
    at_ += sizeof(T);
    *value = static_cast<T>(v);
    return true;
  }
  // A name holds no zero unit: the calls take zero-terminated names.
  bool Name(bool* any, std::u16string* name) {
    uint16_t length = 0;
    if (!Get(&length)) return false;
    *any = length == kNoName;
    if (*any) return true;
    if (length > kMaxName || (size_ - at_) / 2 < length) return false;
    name->resize(length);
    for (char16_t& u : *name) {
      uint16_t unit = 0;
      Get(&unit);
      if (unit == 0) return false;
      u = unit;
    }
    return true;
  }
  bool AtEnd() const { return at_ == size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

bool Known(uint8_t ask) { return ask >= static_cast<uint8_t>(Ask::kFind) && ask <= static_cast<uint8_t>(Ask::kParent); }

}  // namespace

std::vector<uint8_t> EncodeRequest(const Request& r) {
  Writer w;
  w.Put(kRequestMagic);
  w.Put(static_cast<uint8_t>(r.ask));
  switch (r.ask) {
    case Ask::kFind:
      w.Name(r.anyClass, r.className);
      w.Name(r.anyTitle, r.title);
      break;
    case Ask::kSend:
      w.Put(r.process);
      w.Put(r.window);
      w.Put(r.message);
      w.Put(r.wParam);
      w.Put(r.lParam);
      break;
    case Ask::kForeground: break;
    case Ask::kSetForeground:
    case Ask::kParent:
      w.Put(r.process);
      w.Put(r.window);
      break;
  }
  return w.Take();
}

bool DecodeRequest(const uint8_t* data, size_t size, Request* out) {
  if (data == nullptr || size > kMaxRecord) return false;
  Reader in(data, size);
  uint32_t magic = 0;
  uint8_t ask = 0;
  if (!in.Get(&magic) || magic != kRequestMagic || !in.Get(&ask) || !Known(ask)) return false;
  Request r;
  r.ask = static_cast<Ask>(ask);
  bool ok = true;
  switch (r.ask) {
    case Ask::kFind: ok = in.Name(&r.anyClass, &r.className) && in.Name(&r.anyTitle, &r.title); break;
    case Ask::kSend:
      ok = in.Get(&r.process) && in.Get(&r.window) && in.Get(&r.message) && in.Get(&r.wParam) && in.Get(&r.lParam);
      break;
    case Ask::kForeground: break;
    case Ask::kSetForeground:
    case Ask::kParent: ok = in.Get(&r.process) && in.Get(&r.window); break;
  }
  if (!ok || !in.AtEnd()) return false;
  *out = std::move(r);
  return true;
}

std::vector<uint8_t> EncodeReply(const Reply& r) {
  Writer w;
  w.Put(kReplyMagic);
  w.Put(static_cast<uint8_t>(r.answer));
  w.Put(r.process);
  w.Put(r.value);
  return w.Take();
}

bool DecodeReply(const uint8_t* data, size_t size, Reply* out) {
  if (data == nullptr || size != kReplySize) return false;
  Reader in(data, size);
  uint32_t magic = 0;
  uint8_t answer = 0;
  Reply r;
  if (!in.Get(&magic) || magic != kReplyMagic || !in.Get(&answer)) return false;
  if (answer < static_cast<uint8_t>(Answer::kAccepted) || answer > static_cast<uint8_t>(Answer::kRefused)) return false;
  r.answer = static_cast<Answer>(answer);
  in.Get(&r.process);
  in.Get(&r.value);
  *out = r;
  return true;
}

bool CarriesOnlyNumbers(UINT message, WPARAM, LPARAM lParam) {
  // The platform's messages whose parameters or result are pointers or handles.
  static constexpr UINT kLocal[] = {
      WM_CREATE,        WM_ACTIVATE,       WM_SETFOCUS,        WM_KILLFOCUS,        WM_SETTEXT,
      WM_GETTEXT,       WM_PAINT,          WM_ERASEBKGND,      WM_SETTINGCHANGE,    WM_DRAWITEM,
      WM_SETFONT,       WM_GETFONT,        WM_WINDOWPOSCHANGED, WM_NOTIFY,          WM_HELP,
      WM_INITDIALOG,    WM_TIMER,          WM_INITMENUPOPUP,   WM_CTLCOLORSTATIC,   WM_CAPTURECHANGED,
      EM_GETSEL,        EM_REPLACESEL,     SBM_GETRANGE,       SBM_SETSCROLLINFO,   SBM_GETSCROLLINFO,
      STM_SETIMAGE,     STM_GETIMAGE,      LB_ADDSTRING,       LB_INSERTSTRING,     LB_GETTEXT,
      LB_SELECTSTRING,  LB_FINDSTRING,     LB_FINDSTRINGEXACT, TB_ADDBITMAP,        TB_GETITEMRECT,
      TB_ADDBUTTONSW,   TB_SETTOOLTIPS,    SHCMBM_GETSUBMENU};
  if (std::find(std::begin(kLocal), std::end(kLocal), message) != std::end(kLocal)) return false;
  // From a control these name the sender's control window.
  if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL) return lParam == 0;
  return true;
}

}  // namespace instance
