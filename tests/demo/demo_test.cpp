// Runs the demonstration program headless: the whole scenario, no input at
// all, and input that stops while a dialog and a message box are open. Each
// run must end through the program's own exit path with code 0, and leave
// its screenshots, none of them blank.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct RunCase {
  const char* name;
  const char* scenario;  // in tests/demo, copied beside its screenshots; null for none
};

const RunCase kRuns[] = {
    {"Scenario", "demo.scenario"},
    {"NoInput", nullptr},
    {"InputEndsInsideTheDialog", "unfinished.scenario"},
};

// The test's name in ctest comes from this; the raw bytes hold addresses.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

bool ReadPng(const fs::path& path, Picture* picture) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  picture->rgb.resize(PNG_IMAGE_SIZE(image));
  picture->width = static_cast<int>(image.width);
  picture->height = static_cast<int>(image.height);
  return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

bool AllWhite(const Picture& p) {
  for (uint8_t v : p.rgb)
    if (v != 255) return false;
  return true;
}

// The exit status of the program, its standard error in `errors`.
int RunDemo(const std::vector<std::string>& args, const fs::path& errorFile, std::string* errors) {
  std::vector<char*> argv;
  std::string program = DEMO_PROGRAM;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  std::ifstream in(errorFile);
  std::ostringstream text;
  text << in.rdbuf();
  *errors = text.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The files the scenario's screenshot commands write, in order.
std::vector<std::string> Screenshots(const fs::path& scenario) {
  std::vector<std::string> files;
  std::ifstream in(scenario);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string command, file;
    if (words >> command >> file && command == "screenshot") files.push_back(file);
  }
  return files;
}

class DemoRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(DemoRun, EndsThroughItsExitPathWithItsPictures) {
  const RunCase& c = GetParam();
  fs::path dir = fs::path(DEMO_OUTPUT_DIR) / c.name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<std::string> args;
  std::vector<std::string> shots;
  if (c.scenario != nullptr) {
    fs::path scenario = dir / c.scenario;
    fs::copy_file(fs::path(DEMO_SOURCE_DIR) / c.scenario, scenario);
    args = {"--scenario", scenario.string()};
    shots = Screenshots(scenario);
  }
  args.push_back("--screenshot");
  args.push_back((dir / "exit.png").string());
  shots.push_back("exit.png");

  std::string errors;
  EXPECT_EQ(RunDemo(args, dir / "stderr.txt", &errors), 0) << errors;
  EXPECT_EQ(errors, "");

  Picture previous;
  for (const std::string& shot : shots) {
    SCOPED_TRACE(shot);
    Picture p;
    ASSERT_TRUE(ReadPng(dir / shot, &p));
    EXPECT_EQ(p.width, 240);
    EXPECT_EQ(p.height, 320);
    EXPECT_FALSE(AllWhite(p));
    // Each step of the scenario shows something new.
    if (shot != "exit.png") {
      EXPECT_NE(p.rgb, previous.rgb);
    }
    previous = std::move(p);
  }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoRun, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<RunCase>& i) { return std::string(i.param.name); });

}  // namespace
