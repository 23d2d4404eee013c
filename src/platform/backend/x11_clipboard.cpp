// The X11 CLIPBOARD selection. What the program publishes is offered as
// UTF-8 text and as RTF; what another program holds is read back the same
// way. One thread owns the connection: it answers other programs' requests
// and carries out the program's, every wait bounded.
#include "platform/backend/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clipboard.h"
#include "platform/clipboard_bridge.h"
#include "platform/window/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;
using Offers = std::map<Atom, Bytes>;  // target → bytes

// An owner that has not answered by then is taken to be gone.
constexpr auto kAnswerTime = std::chrono::milliseconds(1000);
constexpr auto kManagerTime = std::chrono::milliseconds(2000);
constexpr size_t kMaxBytes = size_t{64} << 20;
const char16_t kRtfName[] = u"Rich Text Format";

enum AtomId {
  kClipboard,
  kTargets,
  kTimestamp,
  kMultiple,
  kIncr,
  kUtf8,
  kTextPlainUtf8,
  kTextRtf,
  kApplicationRtf,
  kManager,
  kSaveTargets,
  kTransfer,
  kClock,
  kAtomCount
};
const char* const kAtomNames[kAtomCount] = {
    "CLIPBOARD",       "TARGETS",           "TIMESTAMP",    "MULTIPLE",          "INCR",
    "UTF8_STRING",     "text/plain;charset=utf-8",          "text/rtf",          "application/rtf",
    "CLIPBOARD_MANAGER", "SAVE_TARGETS",    "_LUMORA_TRANSFER", "_LUMORA_CLOCK"};

// The thread's alone while it runs.
struct Connection {
  Display* display = nullptr;
  Window window = 0;
  Atom atoms[kAtomCount]{};
  Offers offers;
  Time ownedSince = CurrentTime;
  bool owner = false;
};

// Between the program's thread and the connection's, which takes a
// publication before a fetch asked after it.
struct Shared {
  std::mutex mutex;
  std::condition_variable answered;
  bool publish = false;
  Offers offers;
  bool fetch = false;
  bool fetched = false;
  bool fetchedOwn = false;
  Offers result;
  bool stop = false;
};

struct Bridge {
  Connection connection;
  Shared shared;
  std::thread thread;
  int wakePipe[2] = {-1, -1};
  XErrorHandler previousHandler = nullptr;
  bool running = false;
};

Bridge& TheBridge() {
  static Bridge* b = new Bridge;
  return *b;
}

// A requestor that went away while we answered is no reason to stop; nor
// is any window that went away before an event sent to it arrived, on
// whichever connection of the process sent it.
int IgnoreOwnErrors(Display* display, XErrorEvent* error) {
  constexpr unsigned char kSendEvent = 25;  // the protocol's request number; its header clashes with ours
  Bridge& b = TheBridge();
  if (display == b.connection.display) return 0;
  if (error->error_code == BadWindow && error->request_code == kSendEvent) return 0;
  return b.previousHandler != nullptr ? b.previousHandler(display, error) : 0;
}

void Poke() {
  char c = 1;
  ssize_t n = write(TheBridge().wakePipe[1], &c, 1);
  (void)n;
}

struct Want {
  Window window;
  int type;
  Atom a;
  Atom b;
};

Bool Matches(Display*, XEvent* e, XPointer arg) {
  const Want& w = *reinterpret_cast<const Want*>(arg);
  if (e->type != w.type || e->xany.window != w.window) return False;
  if (w.type == SelectionNotify) return e->xselection.selection == w.a && e->xselection.target == w.b;
  return e->xproperty.atom == w.a && e->xproperty.state == PropertyNewValue;
}

// Other events stay queued for the thread's loop.
bool WaitFor(Connection& c, Want want, XEvent* out) {
  Clock::time_point deadline = Clock::now() + kAnswerTime;
  for (;;) {
    if (XCheckIfEvent(c.display, out, Matches, reinterpret_cast<XPointer>(&want))) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(c.display), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left) + 1);
  }
}

struct Property {
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  Bytes bytes;  // format 32 items come as longs, as Xlib hands them out
};

// Reads and deletes one of our window's properties; false when it does not
// exist or is too large.
bool ReadProperty(Connection& c, Atom property, Property* out) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(c.display, c.window, property, 0, kMaxBytes / 4, True, AnyPropertyType, &type, &format,
                         &items, &after, &data) != Success)
    return false;
  bool ok = type != None && after == 0;
  if (ok) {
    size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    out->type = type;
    out->format = format;
    out->items = items;
    out->bytes.assign(data, data + items * unit);
  } else if (type != None) {
    XDeleteProperty(c.display, c.window, property);
  }
  if (data != nullptr) XFree(data);
  return ok;
}

// The owner sends the data in pieces, each after we deleted the last; an
// empty piece ends it. A notice for a piece we already took finds nothing.
bool ReadIncrementally(Connection& c, Property* out) {
  Atom transfer = c.atoms[kTransfer];
  Bytes all;
  for (;;) {
    XEvent e;
    if (!WaitFor(c, {c.window, PropertyNotify, transfer, None}, &e)) return false;
    Property piece;
    if (!ReadProperty(c, transfer, &piece)) continue;
    if (piece.bytes.empty()) {
      out->type = piece.type;
      out->format = piece.format;
      out->items = all.size();
      out->bytes = std::move(all);
      return true;
    }
    if (all.size() + piece.bytes.size() > kMaxBytes) return false;
    all.insert(all.end(), piece.bytes.begin(), piece.bytes.end());
  }
}

enum class Answer { kData, kRefused, kSilent };

Answer Convert(Connection& c, Atom target, Property* out) {
  Atom transfer = c.atoms[kTransfer];
  XDeleteProperty(c.display, c.window, transfer);
  XConvertSelection(c.display, c.atoms[kClipboard], target, transfer, c.window, CurrentTime);
  XEvent e;
  if (!WaitFor(c, {c.window, SelectionNotify, c.atoms[kClipboard], target}, &e)) return Answer::kSilent;
  if (e.xselection.property == None || !ReadProperty(c, transfer, out)) return Answer::kRefused;
  if (out->type != c.atoms[kIncr]) return Answer::kData;
  return ReadIncrementally(c, out) ? Answer::kData : Answer::kRefused;
}

// What another program holds, keyed by the first target of each kind
// (text/rtf for RTF, UTF8_STRING for text); *own when it is ours.
Offers FetchOffers(Connection& c, bool* own) {
  Offers got;
  Window owner = XGetSelectionOwner(c.display, c.atoms[kClipboard]);
  *own = owner == c.window;
  if (owner == None || *own) return got;
  Property targets;
  Answer listed = Convert(c, c.atoms[kTargets], &targets);
  if (listed == Answer::kSilent) return got;
  std::vector<Atom> offered;
  if (listed == Answer::kData && targets.format == 32) {
    const long* a = reinterpret_cast<const long*>(targets.bytes.data());
    for (unsigned long i = 0; i < targets.items; ++i) offered.push_back(static_cast<Atom>(a[i]));
  }
  auto has = [&](Atom a) { return offered.empty() || std::find(offered.begin(), offered.end(), a) != offered.end(); };
  const AtomId kinds[2][2] = {{kTextRtf, kApplicationRtf}, {kUtf8, kTextPlainUtf8}};
  for (const auto& kind : kinds) {
    for (AtomId id : kind) {
      Property p;
      if (!has(c.atoms[id])) continue;
      Answer a = Convert(c, c.atoms[id], &p);
      if (a == Answer::kSilent) return got;
      if (a == Answer::kData && p.format == 8) {
        got[c.atoms[kind[0]]] = std::move(p.bytes);
        break;
      }
    }
  }
  return got;
}

size_t MaxPropertyBytes(Display* d) {
  long units = XExtendedMaxRequestSize(d);
  if (units == 0) units = XMaxRequestSize(d);
  return static_cast<size_t>(units) * 4 - 256;
}

// Writes one target into a requestor's property; false when we do not offer
// it. Data too large for one request is refused rather than sent in pieces.
bool Put(Connection& c, Window requestor, Atom target, Atom property) {
  if (target == c.atoms[kTargets]) {
    std::vector<long> list{static_cast<long>(c.atoms[kTargets]), static_cast<long>(c.atoms[kTimestamp]),
                           static_cast<long>(c.atoms[kMultiple])};
    for (const auto& [atom, bytes] : c.offers) list.push_back(static_cast<long>(atom));
    XChangeProperty(c.display, requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(list.data()), static_cast<int>(list.size()));
    return true;
  }
  if (target == c.atoms[kTimestamp]) {
    long t = static_cast<long>(c.ownedSince);
    XChangeProperty(c.display, requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&t), 1);
    return true;
  }
  auto it = c.offers.find(target);
  if (it == c.offers.end() || it->second.size() > MaxPropertyBytes(c.display)) return false;
  XChangeProperty(c.display, requestor, property, target, 8, PropModeReplace, it->second.data(),
                  static_cast<int>(it->second.size()));
  return true;
}

// MULTIPLE: the requestor's property lists target and property pairs; the
// targets we cannot give become None.
bool PutMultiple(Connection& c, Window requestor, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(c.display, requestor, property, 0, 1 << 16, False, AnyPropertyType, &type, &format, &items,
                         &after, &data) != Success)
    return false;
  bool ok = data != nullptr && format == 32 && items > 0 && items % 2 == 0;
  if (ok) {
    long* pairs = reinterpret_cast<long*>(data);
    for (unsigned long i = 0; i + 1 < items; i += 2) {
      Atom target = static_cast<Atom>(pairs[i]);
      if (target == c.atoms[kMultiple] || !Put(c, requestor, target, static_cast<Atom>(pairs[i + 1])))
        pairs[i] = None;
    }
    XChangeProperty(c.display, requestor, property, type, 32, PropModeReplace, data, static_cast<int>(items));
  }
  if (data != nullptr) XFree(data);
  return ok;
}

void Serve(Connection& c, const XSelectionRequestEvent& r) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = c.display;
  reply.xselection.requestor = r.requestor;
  reply.xselection.selection = r.selection;
  reply.xselection.target = r.target;
  reply.xselection.property = None;
  reply.xselection.time = r.time;
  Atom property = r.property != None ? r.property : r.target;
  bool ours = c.owner && r.owner == c.window && r.selection == c.atoms[kClipboard] &&
              (r.time == CurrentTime || c.ownedSince == CurrentTime || r.time >= c.ownedSince);
  if (ours && (r.target == c.atoms[kMultiple] ? r.property != None && PutMultiple(c, r.requestor, property)
                                              : Put(c, r.requestor, r.target, property)))
    reply.xselection.property = property;
  XSendEvent(c.display, r.requestor, False, NoEventMask, &reply);
  XFlush(c.display);
}

void Handle(Connection& c, const XEvent& e) {
  if (e.type == SelectionRequest) {
    Serve(c, e.xselectionrequest);
  } else if (e.type == SelectionClear && e.xselectionclear.window == c.window &&
             e.xselectionclear.selection == c.atoms[kClipboard] &&
             XGetSelectionOwner(c.display, c.atoms[kClipboard]) != c.window) {
    c.owner = false;
  }
}

// A server time for taking the selection: the time of a change to our own
// window.
Time ServerTime(Connection& c) {
  unsigned char none = 0;
  XChangeProperty(c.display, c.window, c.atoms[kClock], XA_STRING, 8, PropModeAppend, &none, 0);
  XEvent e;
  return WaitFor(c, {c.window, PropertyNotify, c.atoms[kClock], None}, &e) ? e.xproperty.time : CurrentTime;
}

void Own(Connection& c) {
  c.ownedSince = ServerTime(c);
  XSetSelectionOwner(c.display, c.atoms[kClipboard], c.window, c.ownedSince);
  c.owner = XGetSelectionOwner(c.display, c.atoms[kClipboard]) == c.window;
}

// A clipboard manager, when one runs, keeps the data after we are gone.
void HandOver(Connection& c) {
  if (!c.owner || c.offers.empty() || XGetSelectionOwner(c.display, c.atoms[kManager]) == None) return;
  XConvertSelection(c.display, c.atoms[kManager], c.atoms[kSaveTargets], None, c.window, CurrentTime);
  Clock::time_point deadline = Clock::now() + kManagerTime;
  for (;;) {
    while (XPending(c.display) > 0) {
      XEvent e;
      XNextEvent(c.display, &e);
      if (e.type == SelectionNotify && e.xselection.selection == c.atoms[kManager]) return;
      Handle(c, e);
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return;
    pollfd p{ConnectionNumber(c.display), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left) + 1);
  }
}

void Run() {
  Bridge& b = TheBridge();
  Connection& c = b.connection;
  Shared& s = b.shared;
  for (;;) {
    while (XPending(c.display) > 0) {
      XEvent e;
      XNextEvent(c.display, &e);
      Handle(c, e);
    }
    bool stop = false, publish = false, fetch = false;
    Offers offers;
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      stop = s.stop;
      publish = s.publish;
      fetch = s.fetch;
      if (publish) offers = std::move(s.offers);
      s.publish = s.fetch = false;
    }
    if (publish) {
      c.offers = std::move(offers);
      Own(c);
    }
    if (fetch) {
      bool own = false;
      Offers got = FetchOffers(c, &own);
      std::lock_guard<std::mutex> lock(s.mutex);
      s.result = std::move(got);
      s.fetchedOwn = own;
      s.fetched = true;
      s.answered.notify_all();
    }
    if (stop) {
      HandOver(c);
      return;
    }
    if (publish || fetch) continue;
    pollfd p[2] = {{ConnectionNumber(c.display), POLLIN, 0}, {b.wakePipe[0], POLLIN, 0}};
    poll(p, 2, -1);
    char drain[64];
    while (read(b.wakePipe[0], drain, sizeof drain) > 0) {
    }
  }
}

// Decodes leniently: a malformed sequence becomes U+FFFD; a NUL ends the text.
std::u16string FromUtf8(const Bytes& in) {
  std::u16string out;
  size_t i = 0, n = in.size();
  while (i < n && in[i] != 0) {
    uint8_t b = in[i];
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    uint32_t cp = extra == 0 ? b : extra == 1 ? b & 0x1F : extra == 2 ? b & 0x0F : b & 0x07;
    bool good = extra >= 0 && i + static_cast<size_t>(extra) < n;
    for (int k = 1; good && k <= extra; ++k) {
      uint8_t t = in[i + static_cast<size_t>(k)];
      good = (t & 0xC0) == 0x80;
      cp = (cp << 6) | (t & 0x3F);
    }
    static const uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    good = good && cp >= kLeast[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!good) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

Bytes UpToNul(const Bytes& in) { return Bytes(in.begin(), std::find(in.begin(), in.end(), uint8_t{0})); }

bool IsRtf(UINT format) { return format >= 0xC000 && ClipboardFormatName(format) == kRtfName; }

Offers OffersOf(const std::map<UINT, Bytes>& formats, const Atom* atoms) {
  Offers offers;
  for (const auto& [format, bytes] : formats) {
    if (format == CF_UNICODETEXT) {
      std::u16string text(bytes.size() / 2, u'\0');
      if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * 2);
      text.resize(std::min(text.size(), text.find(u'\0')));
      std::string utf8 = Utf16ToUtf8(text);
      offers[atoms[kUtf8]] = offers[atoms[kTextPlainUtf8]] = Bytes(utf8.begin(), utf8.end());
    } else if (IsRtf(format)) {
      offers[atoms[kTextRtf]] = offers[atoms[kApplicationRtf]] = UpToNul(bytes);
    }
  }
  return offers;
}

void Publish(const std::map<UINT, Bytes>& formats) {
  Bridge& b = TheBridge();
  if (!b.running) return;
  Offers offers = OffersOf(formats, b.connection.atoms);
  {
    std::lock_guard<std::mutex> lock(b.shared.mutex);
    b.shared.offers = std::move(offers);
    b.shared.publish = true;
  }
  Poke();
}

bool Fetch(std::map<UINT, Bytes>* formats) {
  Bridge& b = TheBridge();
  Shared& s = b.shared;
  if (!b.running || formats == nullptr) return false;
  Offers got;
  {
    std::unique_lock<std::mutex> lock(s.mutex);
    s.fetch = true;
    s.fetched = false;
    Poke();
    s.answered.wait(lock, [&s] { return s.fetched; });
    if (s.fetchedOwn) return false;
    got = std::move(s.result);
  }
  const Atom* atoms = b.connection.atoms;
  formats->clear();
  if (auto it = got.find(atoms[kTextRtf]); it != got.end()) {
    Bytes rtf = UpToNul(it->second);
    rtf.push_back(0);
    UINT format = RegisterClipboardFormatW(kRtfName);
    if (format != 0) (*formats)[format] = std::move(rtf);
  }
  if (auto it = got.find(atoms[kUtf8]); it != got.end()) {
    std::u16string text = FromUtf8(it->second);
    Bytes units((text.size() + 1) * 2, 0);
    if (!text.empty()) std::memcpy(units.data(), text.data(), text.size() * 2);
    (*formats)[CF_UNICODETEXT] = std::move(units);
  }
  return true;
}

}  // namespace

bool X11ClipboardStart(std::string* error) {
  Bridge& b = TheBridge();
  if (b.running) return true;
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || name[0] == 0) {
    *error = "no X display ($DISPLAY is not set)";
    return false;
  }
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    *error = std::string("cannot open the X display ") + name;
    return false;
  }
  if (pipe2(b.wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(d);
    *error = "cannot make a pipe";
    return false;
  }
  Connection& c = b.connection;
  c = Connection{};
  c.display = d;
  XInternAtoms(d, const_cast<char**>(kAtomNames), kAtomCount, False, c.atoms);
  c.window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, c.window, PropertyChangeMask);
  XFlush(d);
  b.previousHandler = XSetErrorHandler(IgnoreOwnErrors);
  Shared& s = b.shared;
  s.publish = s.fetch = s.fetched = s.fetchedOwn = s.stop = false;
  s.offers.clear();
  s.result.clear();
  b.running = true;
  b.thread = std::thread(Run);
  return true;
}

void X11ClipboardStop() {
  Bridge& b = TheBridge();
  if (!b.running) return;
  {
    std::lock_guard<std::mutex> lock(b.shared.mutex);
    b.shared.stop = true;
  }
  Poke();
  b.thread.join();
  Connection& c = b.connection;
  XDestroyWindow(c.display, c.window);
  XSync(c.display, False);
  XCloseDisplay(c.display);
  XErrorHandler current = XSetErrorHandler(b.previousHandler);
  if (current != IgnoreOwnErrors) XSetErrorHandler(current);
  c = Connection{};
  close(b.wakePipe[0]);
  close(b.wakePipe[1]);
  b.wakePipe[0] = b.wakePipe[1] = -1;
  b.running = false;
}

void X11PrepareForThreads() { XInitThreads(); }

const ClipboardBridge& X11ClipboardBridge() {
  static const ClipboardBridge bridge{Publish, Fetch};
  return bridge;
}
