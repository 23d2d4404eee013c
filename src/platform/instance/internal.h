// The single-instance layer's own state, shared by its files. Internal to instance/.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance/protocol.h"
#include "platform/window/remote.h"

namespace instance {

// A request waiting for the window thread, with the connection to answer on.
struct Pending {
  int fd = -1;
  Request request;
};

// A window of another process, as the program knows it.
struct Peer {
  pid_t pid = 0;
  uint64_t process = 0;
  uint64_t window = 0;
};

struct Layer {
  std::string folder;
  std::string socketPath;
  uint64_t process = 0;  // this run, at random: pids and window numbers come again
  int listenFd = -1;
  int stopFd = -1;     // eventfd: the listener is to end
  int arrivedFd = -1;  // eventfd: a request waits in the queue
  void (*wake)() = nullptr;
  std::thread::id windowThread;
  std::thread listener;
  std::mutex mutex;
  std::deque<Pending> queue;  // under mutex
  std::vector<Peer> peers;    // under mutex; index + 1 makes the handle
};

// The running layer, or null; set and cleared on the window thread.
Layer* TheLayer();

std::string SocketPath(const std::string& folder, pid_t pid);
// The pids of the other processes with a socket in the folder, ascending.
std::vector<pid_t> ListPeers(const std::string& folder);

// Writes one record whole without waiting; false when the peer is gone.
bool SendRecord(int fd, const std::vector<uint8_t>& bytes);
// Reads one record; its size, 0 when the peer closed, -1 on error or nothing
// yet; a record longer than the buffer reads as kMaxRecord + 1.
ssize_t ReceiveRecord(int fd, uint8_t (&buffer)[kMaxRecord + 1]);
// Whether the process at the other end is of the same user.
bool SameUser(int fd);

// Runs the queued requests on the window thread and answers them.
void DeliverRequests();
// The listener thread's body.
void Listen(Layer* layer);

const RemoteWindows& TheRemoteWindows();
int AnswerTime();

}  // namespace instance
