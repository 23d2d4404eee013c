// A private folder for the reader processes of one test: they find each
// other's windows in it (as XDG_RUNTIME_DIR) and keep their registry files
// there, never in the user's session.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

class ProcessFolder {
 public:
  ProcessFolder() {
    if (const char* was = getenv("XDG_RUNTIME_DIR")) runtime_ = was;
    char dir[] = "/tmp/lumora-process-XXXXXX";
    if (mkdtemp(dir) == nullptr) return;
    path_ = dir;
    setenv("XDG_RUNTIME_DIR", dir, 1);
  }
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;
  ~ProcessFolder() {
    if (runtime_) setenv("XDG_RUNTIME_DIR", runtime_->c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  bool Made() const { return !path_.empty(); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Where the platform keeps the processes' sockets.
  std::string Sockets() const { return File("lumora"); }

 private:
  std::string path_;
  std::optional<std::string> runtime_;
};

// The names of the values a registry file holds, in the file's order.
inline std::vector<std::string> RegistryValueNames(const std::string& file) {
  std::vector<std::string> names;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] == '"') names.push_back(line.substr(1, line.find('"', 1) - 1));
  return names;
}
