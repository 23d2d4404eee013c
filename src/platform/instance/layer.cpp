// The receiving side: a listener thread takes each connection's request and
// queues it for the window thread, whose loops run it (DeliverRequests, also
// from nested modal loops) and answer on the connection.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/backend/backend.h"
#include "platform/instance/instance.h"
#include "platform/instance/internal.h"
#include "platform/window/core.h"

namespace instance {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxOpen = 32;    // connections whose request has not come yet
constexpr size_t kMaxQueued = 64;  // requests waiting for the window thread
constexpr int kBacklog = 16;

Layer*& Current() {
  static Layer* layer = nullptr;
  return layer;
}

bool Address(const std::string& path, sockaddr_un* address) {
  *address = sockaddr_un{};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

uint64_t RandomRun() {
  std::random_device device;
  uint64_t n = 0;
  while (n == 0) n = (static_cast<uint64_t>(device()) << 32) ^ device();
  return n;
}

void Signal(int eventFd) {
  uint64_t one = 1;
  ssize_t ignored = write(eventFd, &one, sizeof one);
  (void)ignored;
}

void Drain(int eventFd) {
  uint64_t count = 0;
  ssize_t ignored = read(eventFd, &count, sizeof count);
  (void)ignored;
}

void Respond(int fd, Answer answer, uint64_t process, uint64_t value = 0) {
  SendRecord(fd, EncodeReply(Reply{answer, process, value}));
}

// What the listener can tell without the window thread.
bool Admissible(const Layer& l, const Request& r) {
  if (r.ask == Ask::kFind || r.ask == Ask::kForeground) return true;
  if (r.process != l.process) return false;
  return r.ask != Ask::kSend || CarriesOnlyNumbers(r.message, static_cast<WPARAM>(r.wParam),
                                                   static_cast<LPARAM>(r.lParam));
}

// A request has come on fd: queued for the window thread, or refused.
void Take(Layer& l, int fd, const uint8_t* bytes, ssize_t size) {
  Request r;
  bool ok = size > 0 && static_cast<size_t>(size) <= kMaxRecord &&
            DecodeRequest(bytes, static_cast<size_t>(size), &r) && Admissible(l, r);
  if (ok) {
    std::lock_guard<std::mutex> lock(l.mutex);
    ok = l.queue.size() < kMaxQueued;
  }
  if (!ok) {
    Respond(fd, Answer::kRefused, l.process);
    close(fd);
    return;
  }
  // Accepted goes out before the window thread can write the result.
  if (!SendRecord(fd, EncodeReply(Reply{Answer::kAccepted, l.process, 0}))) {
    close(fd);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(l.mutex);
    l.queue.push_back(Pending{fd, std::move(r)});
  }
  Signal(l.arrivedFd);
  if (l.wake != nullptr) l.wake();
}

HWND LocalForeground() {
  const Backend& b = CurrentBackend();
  if (b.hasFocus != nullptr && !b.hasFocus()) return nullptr;
  win::Window* w = win::Find(win::TheCore().active);
  return w != nullptr && !w->system && !w->destroying ? w->handle : nullptr;
}

uint64_t Number(HWND h) { return static_cast<uint64_t>(win::NumberOf(h)); }

// One request, on the window thread; false refuses it.
bool Run(const Request& r, uint64_t* value) {
  *value = 0;
  switch (r.ask) {
    case Ask::kFind:
      *value = Number(win::FindTopLevel(r.anyClass ? nullptr : r.className.c_str(),
                                        r.anyTitle ? nullptr : r.title.c_str(), false));
      return true;
    case Ask::kForeground: *value = Number(LocalForeground()); return true;
    case Ask::kSend:
    case Ask::kSetForeground:
    case Ask::kParent: break;
  }
  if (r.window > UINTPTR_MAX) return false;
  HWND h = win::HandleOf(static_cast<uintptr_t>(r.window));
  win::Window* w = win::Find(h);
  if (w == nullptr || w->parent != nullptr || w->system || w->destroying) return false;
  if (r.ask == Ask::kSend)
    *value = static_cast<uint64_t>(
        SendMessageW(h, r.message, static_cast<WPARAM>(r.wParam), static_cast<LPARAM>(r.lParam)));
  else if (r.ask == Ask::kSetForeground)
    *value = SetForegroundWindow(h) ? 1 : 0;
  else
    *value = Number(GetParent(h));
  return true;
}

void UnlinkAtExit() {
  if (Layer* l = Current()) unlink(l->socketPath.c_str());
}

void Close(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

void Discard(Layer* l) {
  Close(&l->listenFd);
  Close(&l->stopFd);
  Close(&l->arrivedFd);
  for (Pending& p : l->queue) {
    Respond(p.fd, Answer::kRefused, l->process);
    close(p.fd);
  }
  delete l;
}

}  // namespace

Layer* TheLayer() { return Current(); }

bool SendRecord(int fd, const std::vector<uint8_t>& bytes) {
  return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(bytes.size());
}

ssize_t ReceiveRecord(int fd, uint8_t (&buffer)[kMaxRecord + 1]) {
  ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC);
  return n > static_cast<ssize_t>(kMaxRecord) ? static_cast<ssize_t>(kMaxRecord + 1) : n;
}

bool SameUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
         peer.uid == geteuid();
}

void Listen(Layer* l) {
  struct Open {
    int fd;
    Clock::time_point deadline;
  };
  std::vector<Open> open;
  uint8_t buffer[kMaxRecord + 1];
  for (;;) {
    std::vector<pollfd> fds{{l->stopFd, POLLIN, 0}, {l->listenFd, POLLIN, 0}};
    Clock::time_point now = Clock::now();
    int timeout = -1;
    for (const Open& o : open) {
      fds.push_back({o.fd, POLLIN, 0});
      int64_t left = std::max<int64_t>(0, std::chrono::ceil<std::chrono::milliseconds>(o.deadline - now).count());
      if (timeout < 0 || left < timeout) timeout = static_cast<int>(left);
    }
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) break;
    now = Clock::now();
    std::vector<Open> waiting;
    for (size_t i = 0; i < open.size(); ++i) {
      if (fds[i + 2].revents != 0) {
        Take(*l, open[i].fd, buffer, ReceiveRecord(open[i].fd, buffer));
      } else if (now < open[i].deadline) {
        waiting.push_back(open[i]);
      } else {
        close(open[i].fd);  // connected and never asked
      }
    }
    open.swap(waiting);
    if (fds[1].revents == 0) continue;
    for (;;) {
      int fd = accept4(l->listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) break;
      if (open.size() >= kMaxOpen || !SameUser(fd)) {
        close(fd);
        continue;
      }
      open.push_back({fd, now + std::chrono::milliseconds(AnswerTime())});
    }
  }
  for (const Open& o : open) close(o.fd);
}

void DeliverRequests() {
  for (;;) {
    Layer* l = Current();
    if (l == nullptr || std::this_thread::get_id() != l->windowThread) return;
    Drain(l->arrivedFd);
    Pending p;
    {
      std::lock_guard<std::mutex> lock(l->mutex);
      if (l->queue.empty()) return;
      p = std::move(l->queue.front());
      l->queue.pop_front();
    }
    uint64_t process = l->process, value = 0;
    bool ok = Run(p.request, &value);  // may run nested loops, which deliver too
    Respond(p.fd, ok ? Answer::kResult : Answer::kRefused, process, value);
    close(p.fd);
  }
}

}  // namespace instance

using namespace instance;

bool StartInstanceLayer() { return StartInstanceLayerIn(InstanceFolder()); }

bool StartInstanceLayerIn(const std::string& folder) {
  if (Current() != nullptr || folder.empty()) return false;
  auto* l = new Layer;
  l->folder = folder;
  l->socketPath = SocketPath(folder, getpid());
  l->process = RandomRun();
  l->wake = CurrentBackend().wake;
  l->windowThread = std::this_thread::get_id();
  // Bound and listening under a name nobody looks for, then renamed: a socket
  // under a pid's name either listens or is dead.
  std::string fresh = folder + "/" + std::to_string(getpid()) + ".new";
  sockaddr_un address;
  l->listenFd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  l->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  l->arrivedFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  bool ok = l->listenFd >= 0 && l->stopFd >= 0 && l->arrivedFd >= 0 && Address(fresh, &address) &&
            Address(l->socketPath, &address);
  if (ok) {
    Address(fresh, &address);
    unlink(fresh.c_str());
    ok = bind(l->listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
         listen(l->listenFd, kBacklog) == 0 && rename(fresh.c_str(), l->socketPath.c_str()) == 0;
    if (!ok) unlink(fresh.c_str());
  }
  if (ok) {
    try {
      l->listener = std::thread(Listen, l);
    } catch (...) {
      ok = false;
      unlink(l->socketPath.c_str());
    }
  }
  if (!ok) {
    Discard(l);
    return false;
  }
  Current() = l;
  static bool registered = std::atexit(UnlinkAtExit) == 0;
  (void)registered;
  SetRemoteWindows(&TheRemoteWindows());
  return true;
}

void StopInstanceLayer() {
  Layer* l = Current();
  if (l == nullptr) return;
  SetRemoteWindows(nullptr);
  unlink(l->socketPath.c_str());
  Signal(l->stopFd);
  l->listener.join();
  Current() = nullptr;
  Discard(l);
}
