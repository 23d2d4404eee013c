// Inputs the layout fuzz target once failed on, kept in tests/data/view.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "layout_exercise.h"
#include "view_test_support.h"

namespace {

class FuzzFindings : public viewtest::ViewTest {};

TEST_F(FuzzFindings, Replay) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(LUMORA_SOURCE_DIR) + "/tests/data/view"))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(layoutexercise::Exercise(data.data(), data.size()));
  }
}

}  // namespace
