// Start-up to the first painted frame on the headless backend: the reader
// (lumora) beside empty_start, which only starts the platform and shows an
// empty window. Each iteration spawns the process, which ends at its first
// present (LUMORA_EXIT_AT_FIRST_PRESENT), and waits for its end.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The processes' surroundings: a registry file and a runtime folder of
// their own, so that a reader the user runs is neither found nor touched.
class Surroundings {
 public:
  Surroundings() {
    char dir[] = "/tmp/lumora-startup-XXXXXX";
    if (mkdtemp(dir) != nullptr) folder_ = dir;
    for (char** e = environ; *e != nullptr; ++e)
      if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0) env_.push_back(*e);
    env_.push_back("XDG_RUNTIME_DIR=" + folder_);
    env_.push_back("LUMORA_EXIT_AT_FIRST_PRESENT=1");
  }
  ~Surroundings() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  bool Ready() const { return !folder_.empty(); }

  // Runs the program to its end; true when it ended with 0.
  bool Run(const char* program) const {
    std::vector<std::string> args = {program, "--backend", "headless", "--registry", folder_ + "/registry"};
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env_) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv.data(), envp.data()) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  std::string folder_;
  std::vector<std::string> env_;
};

void TimeStart(benchmark::State& state, const char* program) {
  Surroundings s;
  // Once untimed: the executable's pages come from the disk only this time.
  if (!s.Ready() || !s.Run(program)) {
    state.SkipWithError("the program did not start and end with 0");
    return;
  }
  for (auto _ : state) {
    if (!s.Run(program)) {
      state.SkipWithError("the program did not end with 0 at its first frame");
      break;
    }
  }
}

void BM_Start_Reader(benchmark::State& state) { TimeStart(state, LUMORA_PROGRAM); }
void BM_Start_Empty(benchmark::State& state) { TimeStart(state, EMPTY_START_PROGRAM); }

}  // namespace

BENCHMARK(BM_Start_Reader)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Start_Empty)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);
