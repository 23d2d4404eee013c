// The private folder that holds the sockets, and the sockets in it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/instance/instance.h"
#include "platform/instance/internal.h"

std::string PrepareInstanceFolder(const char* runtimeDir, const std::string& tmpRoot) {
  std::string folder;
  if (runtimeDir != nullptr && runtimeDir[0] == '/') folder = std::string(runtimeDir) + "/lumora";
  else folder = tmpRoot + "/lumora-" + std::to_string(geteuid());
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  // Whatever is there now must be our own folder, closed to everyone else.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  bool ours = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
  close(fd);
  return ours ? folder : std::string();
}

std::string InstanceFolder() { return PrepareInstanceFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp"); }

namespace instance {

std::string SocketPath(const std::string& folder, pid_t pid) {
  return folder + "/" + std::to_string(pid) + ".sock";
}

std::vector<pid_t> ListPeers(const std::string& folder) {
  std::vector<pid_t> pids;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return pids;
  pid_t self = getpid();
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    size_t dot = name.find(".sock");
    if (dot == 0 || dot > 9 || dot + 5 != name.size()) continue;
    if (name.find_first_not_of("0123456789") != dot) continue;
    long pid = std::strtol(name.c_str(), nullptr, 10);
    if (pid > 0 && pid != self) pids.push_back(static_cast<pid_t>(pid));
  }
  closedir(dir);
  std::sort(pids.begin(), pids.end());
  return pids;
}

}  // namespace instance
