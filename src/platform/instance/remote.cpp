// The asking side: the window calls' fallback for windows of the user's
// other processes, one connection per request.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/instance/internal.h"
#include "platform/instance/testing.h"
#include "platform/window/core.h"

namespace instance {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxPeers = 4096;

std::atomic<int>& AnswerMs() {
  static std::atomic<int> ms{3000};
  return ms;
}

// A connection to the pid's socket; one that nobody listens on any more is
// left by a process that ended, and removed.
int Connect(const std::string& folder, pid_t pid) {
  std::string path = SocketPath(folder, pid);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno == ECONNREFUSED) unlink(path.c_str());
    close(fd);
    return -1;
  }
  if (!SameUser(fd)) {
    close(fd);
    return -1;
  }
  return fd;
}

int Left(Clock::time_point deadline) {
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return ms > 0 ? static_cast<int>(ms) : 0;
}

bool Next(int fd, Reply* reply) {
  uint8_t buffer[kMaxRecord + 1];
  ssize_t n = ReceiveRecord(fd, buffer);
  return n > 0 && DecodeReply(buffer, static_cast<size_t>(n), reply);
}

struct Found {
  pid_t pid = 0;
  Reply reply;
};

// Puts the request to every other process at once and takes the first
// answer that is not 0; those that do not answer in time count as absent.
bool AskAll(const Request& request, Found* found) {
  Layer* l = TheLayer();
  if (l == nullptr) return false;
  struct Call {
    pid_t pid;
    int fd;
  };
  std::vector<Call> calls;
  std::vector<uint8_t> bytes = EncodeRequest(request);
  for (pid_t pid : ListPeers(l->folder)) {
    int fd = Connect(l->folder, pid);
    if (fd < 0) continue;
    if (SendRecord(fd, bytes)) calls.push_back({pid, fd});
    else close(fd);
  }
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(AnswerTime());
  bool got = false;
  while (!calls.empty() && !got) {
    std::vector<pollfd> fds;
    for (const Call& c : calls) fds.push_back({c.fd, POLLIN, 0});
    int left = Left(deadline);
    int n = left > 0 ? poll(fds.data(), fds.size(), left) : 0;
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    std::vector<Call> still;
    for (size_t i = 0; i < calls.size(); ++i) {
      Reply reply;
      bool keep = fds[i].revents == 0;
      if (!keep && Next(calls[i].fd, &reply)) {
        keep = reply.answer == Answer::kAccepted;
        if (!got && reply.answer == Answer::kResult && reply.value != 0) {
          got = true;
          *found = Found{calls[i].pid, reply};
        }
      }
      if (keep) still.push_back(calls[i]);
      else close(calls[i].fd);
    }
    calls.swap(still);
  }
  for (const Call& c : calls) close(c.fd);
  return got;
}

// One exchange with the process the window belongs to. It has AnswerTime()
// to accept; a message may then take as long as the receiver's procedure
// takes (a dialog may be open for minutes), the rest must be answered in that
// time too. While a message waits, the window thread runs the requests that
// come for it, so that two processes may send to each other.
bool AskOne(const Peer& peer, Request request, bool patient, uint64_t* value) {
  Layer* l = TheLayer();
  if (l == nullptr) return false;
  request.process = peer.process;
  request.window = peer.window;
  int fd = Connect(l->folder, peer.pid);
  if (fd < 0) return false;
  bool done = false, accepted = false;
  bool serve = patient && std::this_thread::get_id() == l->windowThread;
  int arrived = l->arrivedFd;
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(AnswerTime());
  bool going = SendRecord(fd, EncodeRequest(request));
  while (going) {
    int timeout = accepted && patient ? -1 : Left(deadline);
    if (timeout == 0) break;
    pollfd fds[2] = {{fd, POLLIN, 0}, {arrived, POLLIN, 0}};
    int n = poll(fds, serve ? 2 : 1, timeout);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (serve && fds[1].revents != 0) DeliverRequests();
    if (fds[0].revents == 0) continue;
    Reply reply;
    going = Next(fd, &reply) && reply.process == peer.process && reply.answer != Answer::kRefused;
    if (going && reply.answer == Answer::kAccepted) accepted = true;
    if (going && reply.answer == Answer::kResult) {
      *value = reply.value;
      done = true;
      going = false;
    }
  }
  close(fd);
  return done;
}

HWND HandleFor(pid_t pid, uint64_t process, uint64_t window) {
  Layer* l = TheLayer();
  if (l == nullptr || window == 0) return nullptr;
  std::lock_guard<std::mutex> lock(l->mutex);
  size_t i = 0;
  while (i < l->peers.size() &&
         (l->peers[i].pid != pid || l->peers[i].process != process || l->peers[i].window != window))
    ++i;
  if (i == l->peers.size()) {
    if (i >= kMaxPeers) return nullptr;
    l->peers.push_back(Peer{pid, process, window});
  }
  // Never a multiple of 4, so never a number of the local window table.
  return win::HandleOf(((i + 1) << 2) | 2);
}

bool PeerOf(HWND h, Peer* peer) {
  Layer* l = TheLayer();
  uintptr_t n = win::NumberOf(h);
  if (l == nullptr || (n & 3) != 2) return false;
  size_t i = (n >> 2) - 1;
  std::lock_guard<std::mutex> lock(l->mutex);
  if (i >= l->peers.size()) return false;
  *peer = l->peers[i];
  return true;
}

// A zero-terminated name, when it is not too long to travel.
bool NameOf(LPCWSTR name, std::u16string* out) {
  size_t n = 0;
  while (n <= kMaxName && name[n] != 0) ++n;
  if (n > kMaxName) return false;
  out->assign(name, n);
  return true;
}

HWND Find(LPCWSTR className, LPCWSTR title) {
  Request r;
  r.ask = Ask::kFind;
  r.anyClass = className == nullptr;
  r.anyTitle = title == nullptr;
  // A class atom means something only in its own process.
  if (!r.anyClass && (IS_INTRESOURCE(className) || !NameOf(className, &r.className))) return nullptr;
  if (!r.anyTitle && !NameOf(title, &r.title)) return nullptr;
  Found f;
  return AskAll(r, &f) ? HandleFor(f.pid, f.reply.process, f.reply.value) : nullptr;
}

bool Owns(HWND h) {
  Peer p;
  return PeerOf(h, &p);
}

LRESULT Send(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Peer p;
  if (!PeerOf(h, &p) || !CarriesOnlyNumbers(message, wParam, lParam)) return 0;
  Request r;
  r.ask = Ask::kSend;
  r.message = message;
  r.wParam = wParam;
  r.lParam = static_cast<uint64_t>(lParam);
  uint64_t value = 0;
  return AskOne(p, r, true, &value) ? static_cast<LRESULT>(value) : 0;
}

HWND Foreground() {
  Request r;
  r.ask = Ask::kForeground;
  Found f;
  return AskAll(r, &f) ? HandleFor(f.pid, f.reply.process, f.reply.value) : nullptr;
}

BOOL SetForeground(HWND h) {
  Peer p;
  Request r;
  r.ask = Ask::kSetForeground;
  uint64_t value = 0;
  return PeerOf(h, &p) && AskOne(p, r, false, &value) && value != 0 ? TRUE : FALSE;
}

HWND Parent(HWND h) {
  Peer p;
  Request r;
  r.ask = Ask::kParent;
  uint64_t value = 0;
  if (!PeerOf(h, &p) || !AskOne(p, r, false, &value)) return nullptr;
  return HandleFor(p.pid, p.process, value);
}

}  // namespace

int AnswerTime() { return AnswerMs().load(); }

const RemoteWindows& TheRemoteWindows() {
  static const RemoteWindows remote{Find, Owns, Send, Foreground, SetForeground, Parent, DeliverRequests};
  return remote;
}

}  // namespace instance

void TestSetInstanceAnswerTime(int milliseconds) { instance::AnswerMs() = milliseconds > 0 ? milliseconds : 3000; }

int TestInstanceArrivals() {
  instance::Layer* l = instance::TheLayer();
  return l != nullptr ? l->arrivedFd : -1;
}
