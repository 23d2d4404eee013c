#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/options.h"
#include "platform/registry.h"
#include "platform/registry_file.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Utf16(const std::u16string& s, bool withNul = true) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (withNul) b.insert(b.end(), {0, 0});
  return b;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("lumora-registry-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    path_ = folder_ / "sub" / "registry";
    PlatformUseRegistryFile(path_.string());
  }
  void TearDown() override {
    PlatformUseRegistryFile("");
    fs::remove_all(folder_);
  }

  HKEY Create(const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }

  Bytes Query(HKEY key, const char16_t* name, DWORD* type = nullptr) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return {0xEE};
    Bytes data(size);
    EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size), ERROR_SUCCESS);
    return data;
  }

  fs::path folder_, path_;
};

}  // namespace

TEST_F(Registry, KeysAndValuesAreFoundWhateverTheirCase) {
  HKEY key = Create(u"Software\\Varnatek\\Lumora");
  DWORD flags = 0xD1140040;
  ASSERT_EQ(RegSetValueExW(key, u"Flags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), 4), ERROR_SUCCESS);
  RegCloseKey(key);

  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\VARNATEK\\lumora", 0, KEY_READ, &again), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(Query(again, u"FLAGS", &type), (Bytes{0x40, 0x00, 0x14, 0xD1}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  RegCloseKey(again);

  HKEY missing = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Nobody", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
}

TEST_F(Registry, QueryReportsSizesAndRefusesSmallPlaces) {
  HKEY key = Create(u"Software\\Test");
  Bytes text = Utf16(u"David CLM");
  ASSERT_EQ(RegSetValueExW(key, u"FontName", 0, REG_SZ, text.data(), static_cast<DWORD>(text.size())), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"FontName", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, text.size());

  Bytes small(4, 0x55);
  size = 4;
  EXPECT_EQ(RegQueryValueExW(key, u"FontName", nullptr, nullptr, small.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, text.size());
  EXPECT_EQ(small, Bytes(4, 0x55)) << "nothing is written to a place that is too small";

  EXPECT_EQ(RegQueryValueExW(key, u"FontName", nullptr, nullptr, small.data(), nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, u"Other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(Registry, HandlesAndAccessAreChecked) {
  HKEY write = Create(u"Software\\Test");
  DWORD one = 1;
  ASSERT_EQ(RegSetValueExW(write, u"A", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_SUCCESS);
  HKEY read = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Test", 0, KEY_READ, &read), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(read, u"A", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(read, u"A"), ERROR_ACCESS_DENIED);

  EXPECT_EQ(RegDeleteValueW(write, u"a"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(write, u"a"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(read), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(read), ERROR_INVALID_HANDLE);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(read, u"A", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExW(reinterpret_cast<HKEY>(0x1234), u"A", nullptr, nullptr, nullptr, &size),
            ERROR_INVALID_HANDLE);
  RegCloseKey(write);
}

TEST_F(Registry, EveryValueSurvivesTheFileByteForByte) {
  struct Row {
    const char16_t* key;
    std::u16string name;
    DWORD type;
    Bytes data;
  };
  std::vector<Row> rows = {
      {u"Software\\Varnatek\\Lumora", u"Flags", REG_DWORD, {0x40, 0x00, 0x14, 0xD1}},
      {u"Software\\Varnatek\\Lumora", u"FontName", REG_SZ, Utf16(u"\u05d3\u05d5\u05d3 CLM")},
      {u"Software\\Varnatek\\Lumora", u"Bookmarks", REG_BINARY, {5, 0, 0, 0, 7}},
      {u"Software\\Varnatek\\Lumora", u"Empty", REG_BINARY, {}},
      {u"Software\\Varnatek\\Lumora", u"NoNul", REG_SZ, Utf16(u"42", false)},
      {u"Software\\Varnatek\\Lumora", u"OddText", REG_SZ, {0x41, 0x00, 0x42}},
      {u"Software\\Varnatek\\Lumora", u"Inner\0Nul", REG_SZ, Utf16(std::u16string(u"a\0b", 3))},
      {u"Software\\Varnatek\\Lumora", u"ShortWord", REG_DWORD, {1, 2}},
      {u"Software\\Varnatek\\Lumora", u"Quote \" back \\ tab\t", REG_SZ, Utf16(u"line\nnext \"q\" \\")},
      {u"Software\\Varnatek\\Lumora", u"", REG_SZ, Utf16(u"default value")},
      {u"Software\\Varnatek\\Lumora", u"Lone", REG_SZ, Utf16(std::u16string(1, char16_t(0xD800)))},
      {u"software\\Odd ^ [key]\\\u05d0", u"Type9", 9, {0xFF}},
  };
  for (const Row& r : rows) {
    HKEY key = Create(r.key);
    ASSERT_EQ(RegSetValueExW(key, r.name.c_str(), 0, r.type, r.data.data(), static_cast<DWORD>(r.data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  std::string text = ReadFile(path_);
  EXPECT_NE(text.find("[Software\\Varnatek\\Lumora]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Flags\"=dword:d1140040"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Bookmarks\"=hex:05,00,00,00,07"), std::string::npos) << text;

  PlatformUseRegistryFile(path_.string());  // start again from the file
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name.begin(), r.name.end()));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, r.key, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(Query(key, r.name.c_str(), &type), r.data);
    EXPECT_EQ(type, r.type);
    RegCloseKey(key);
  }
  EXPECT_EQ(ReadFile(path_), text) << "writing what was read gives the same file";
}

TEST_F(Registry, ADamagedFileIsSetAsideNeverOverwritten) {
  const char* damaged[] = {
      "[Software\nno closing bracket\n",
      "\"Value before any key\"=dword:00000001\n",
      "[A]\n\"X\"=dword:123\n",
      "[A]\n\"X\"=hex:0g\n",
      "[A]\n\"X\"=sz:\"unterminated\n",
      "[A\\\\B]\n",
      "[A]\n\"X\"=hex(abc):00\n",
      "[A]\n\"\xff\xfe\"=dword:00000001\n",
  };
  int n = 0;
  for (const char* text : damaged) {
    SCOPED_TRACE(text);
    fs::create_directories(path_.parent_path());
    { std::ofstream(path_, std::ios::binary) << text; }
    PlatformUseRegistryFile(path_.string());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    fs::path aside = n == 0 ? fs::path(path_.string() + ".bad") : fs::path(path_.string() + ".bad." + std::to_string(n));
    EXPECT_EQ(ReadFile(aside), text) << "kept aside as " << aside;
    EXPECT_FALSE(fs::exists(path_));
    ++n;
  }
  // The registry works on: the next change writes a new file.
  HKEY key = Create(u"Fresh");
  DWORD one = 1;
  ASSERT_EQ(RegSetValueExW(key, u"One", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_NE(ReadFile(path_).find("[Fresh]"), std::string::npos);
  EXPECT_EQ(ReadFile(path_.string() + ".bad"), damaged[0]);
}

TEST_F(Registry, NoTemporaryFilesAreLeftAndKeysPersistEmpty) {
  HKEY key = Create(u"Software\\Empty\\Key");
  RegCloseKey(key);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_.parent_path())) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"registry"});
  PlatformUseRegistryFile(path_.string());
  HKEY again = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Empty\\Key", 0, KEY_READ, &again), ERROR_SUCCESS);
  RegCloseKey(again);
}

TEST_F(Registry, AnotherProcessReadingNeverSeesHalfAFile) {
  HKEY key = Create(u"Software\\Race");
  RegCloseKey(key);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Race", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    Bytes big(3000, 0xAB);
    for (DWORD i = 0; i < 300; ++i) {
      big[0] = static_cast<uint8_t>(i);
      RegSetValueExW(k, u"Big", 0, REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    }
    _exit(0);
  }
  int reads = 0;
  for (int status = 0; waitpid(child, &status, WNOHANG) == 0; ++reads) {
    PlatformUseRegistryFile(path_.string());
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Race", 0, KEY_READ, &k), ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_FALSE(fs::exists(path_.string() + ".bad")) << "a read saw a half-written file";
  }
  EXPECT_GT(reads, 0);
}

TEST_F(Registry, AWriteKilledBeforeItsRenameLeavesTheOldFile) {
  HKEY key = Create(u"Software\\Varnatek\\Lumora");
  DWORD before = 1, after = 2;
  ASSERT_EQ(RegSetValueExW(key, u"Lesson", 0, REG_DWORD, reinterpret_cast<BYTE*>(&before), 4), ERROR_SUCCESS);
  std::string old = ReadFile(path_);
  TestRegistryStopBeforeRename(true);
  RegSetValueExW(key, u"Lesson", 0, REG_DWORD, reinterpret_cast<BYTE*>(&after), 4);
  TestRegistryStopBeforeRename(false);
  RegCloseKey(key);
  EXPECT_EQ(ReadFile(path_), old) << "the old file is intact";

  PlatformUseRegistryFile(path_.string());  // the next start
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Varnatek\\Lumora", 0, KEY_READ, &again), ERROR_SUCCESS);
  EXPECT_EQ(Query(again, u"Lesson"), (Bytes{1, 0, 0, 0}));
  RegCloseKey(again);
  EXPECT_FALSE(fs::exists(path_.string() + ".bad"));
}
