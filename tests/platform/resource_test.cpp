#include <gtest/gtest.h>

#include <cstring>

#include "platform/options.h"
#include "platform/resource.h"
#include "platform/resource_pack.h"
#include "platform/testing.h"

namespace {

std::vector<uint8_t> Pack(std::vector<PackResource> resources) {
  std::vector<uint8_t> pack;
  std::string error;
  EXPECT_TRUE(BuildResourcePack(std::move(resources), &pack, &error)) << error;
  return pack;
}

void Put32(std::vector<uint8_t>* pack, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*pack)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

class Resources : public ::testing::Test {
 protected:
  void TearDown() override { PlatformUseEmbeddedResources(); }
};

}  // namespace

TEST_F(Resources, FindsNumberedResourcesByTypeAndId) {
  ASSERT_TRUE(TestUseResources({{10, 1001, {1, 2, 3}}, {10, 32767, {9}}, {2, 1001, {7, 7}}}));
  HMODULE self = GetModuleHandleW(nullptr);
  struct Case {
    LPCWSTR type;
    int id;
    std::vector<uint8_t> bytes;  // empty: not found
  } cases[] = {
      {RT_RCDATA, 1001, {1, 2, 3}},
      {RT_RCDATA, 32767, {9}},
      {RT_BITMAP, 1001, {7, 7}},
      {RT_RCDATA, 1002, {}},
      {RT_MENU, 1001, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(c.id), c.type);
    if (c.bytes.empty()) {
      EXPECT_EQ(found, nullptr);
      continue;
    }
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(self, found), c.bytes.size());
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(self, found)));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + c.bytes.size()), c.bytes);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(c.id), c.type), found)
        << "the null module is the program's own";
  }
  EXPECT_EQ(FindResourceW(self, u"NAMED", RT_RCDATA), nullptr);
}

TEST_F(Resources, BuildRefusesTwoResourcesWithOneName) {
  std::vector<uint8_t> pack;
  std::string error;
  EXPECT_FALSE(BuildResourcePack({{10, 5, {1}}, {10, 5, {2}}}, &pack, &error));
  EXPECT_NE(error.find("id 5"), std::string::npos) << error;
}

TEST_F(Resources, PackRoundTripKeepsEveryResource) {
  std::vector<PackResource> in = {{10, 3, {}}, {6, 302, {'G', 0, 'o', 0}}, {10, 1, {0, 255}}};
  std::vector<uint8_t> pack = Pack(in);
  PackView view;
  std::string error;
  ASSERT_TRUE(OpenResourcePack(pack.data(), pack.size(), &view, &error)) << error;
  std::vector<PackResource> out = ListPackResources(view);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].type, 6);  // sorted by type, then id
  EXPECT_EQ(out[1].id, 1);
  EXPECT_EQ(out[1].bytes, (std::vector<uint8_t>{0, 255}));
  EXPECT_TRUE(out[2].bytes.empty());
}

TEST_F(Resources, DamagedPacksAreRefusedAndTheOldOneStays) {
  ASSERT_TRUE(TestUseResources({{10, 1001, {1, 2, 3}}}));
  const std::vector<uint8_t> good = Pack({{10, 1, {1, 2, 3, 4}}, {10, 2, {5}}});
  struct Case {
    const char* name;
    std::vector<uint8_t> pack;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"header only, cut", std::vector<uint8_t>(good.begin(), good.begin() + 10)});
  {
    auto bad = good;
    bad[0] = 'X';
    cases.push_back({"magic", bad});
  }
  {
    auto bad = good;
    Put32(&bad, 4, 2);
    cases.push_back({"version", bad});
  }
  {
    auto bad = good;
    Put32(&bad, 8, 0x40000000);
    cases.push_back({"count past the end", bad});
  }
  {
    auto bad = good;
    Put32(&bad, 12 + 8, 1000);  // first entry's size
    cases.push_back({"entry size past the end", bad});
  }
  {
    auto bad = good;
    Put32(&bad, 12 + 4, 0xFFFFFFF0u);  // first entry's offset
    cases.push_back({"entry offset wraps", bad});
  }
  {
    auto bad = good;
    bad[12 + 2] = 2;  // first entry's id now equals the second's
    cases.push_back({"duplicate entries", bad});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(PlatformUseResourcePack(c.pack, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(1001), RT_RCDATA), nullptr);
  }
  std::string error;
  EXPECT_TRUE(PlatformUseResourcePack(good, &error)) << error;
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1001), RT_RCDATA), nullptr);
}

TEST_F(Resources, PackFileOptionReportsWhatIsWrong) {
  std::string error;
  EXPECT_FALSE(PlatformUseResourcePackFile("/nonexistent/book.pack", &error));
  EXPECT_NE(error.find("/nonexistent/book.pack"), std::string::npos);

  std::string path = ::testing::TempDir() + "lumora-resource-test.pack";
  std::vector<uint8_t> pack = Pack({{10, 7, {42}}});
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(pack.data(), 1, pack.size(), f);
  std::fclose(f);
  ASSERT_TRUE(PlatformUseResourcePackFile(path, &error)) << error;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(7), RT_RCDATA);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*static_cast<const uint8_t*>(LoadResource(nullptr, found)), 42);
  std::remove(path.c_str());
}
