// The menu resource and the menu-bar description: writer and reader agree,
// and every malformed input is refused with a reason.
#include <gtest/gtest.h>

#include "menus_fixture.h"
#include "platform/menus/menu_resource.h"

namespace {

using Items = std::vector<MenuTemplateItem>;

bool SameItems(const Items& a, const Items& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].flags != b[i].flags || a[i].id != b[i].id || a[i].text != b[i].text) return false;
    if (!SameItems(a[i].items, b[i].items)) return false;
  }
  return true;
}

Items Nested(int depth) {
  Items items{{0, 7, u"Leaf", {}}};
  for (int d = 1; d < depth; ++d) items = {{MF_POPUP, 0, u"&Deeper", items}};
  return items;
}

TEST(MenuResource, RoundTripsEveryKindOfItem) {
  const Items cases[] = {
      {},
      AppMenu(),
      {{MF_POPUP, 0, u"", {}}},
      {{0, 5, u"A top-level command", {}}, {MF_SEPARATOR, 0, u"", {}}},
      {{MF_POPUP, 0, u"&File", {{MF_CHECKED | MF_GRAYED, 1, u"&& \u05D0\b\u05D1", {}}}}},
      Nested(kMenuMaxDepth),
  };
  for (const Items& items : cases) {
    SCOPED_TRACE(items.size());
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(EncodeMenuResource(items, &bytes, &error)) << error;
    Items back;
    ASSERT_TRUE(DecodeMenuResource(bytes.data(), bytes.size(), &back, &error)) << error;
    EXPECT_TRUE(SameItems(items, back));
  }
}

TEST(MenuResource, TheWriterRefusesWhatTheReaderWould) {
  const struct {
    const char* name;
    Items items;
  } cases[] = {
      {"too deep", Nested(kMenuMaxDepth + 1)},
      {"unknown flag", {{0x4000, 1, u"x", {}}}},
      {"pop-up and separator", {{MF_POPUP | MF_SEPARATOR, 0, u"", {}}}},
      {"items under a command", {{0, 1, u"x", {{0, 2, u"y", {}}}}}},
      {"text too long", {{0, 1, std::u16string(kMenuMaxText + 1, u'x'), {}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(EncodeMenuResource(c.items, &bytes, &error));
    EXPECT_FALSE(error.empty());
  }
}

void Put(std::vector<uint8_t>* out, std::initializer_list<unsigned> words) {
  for (unsigned w : words) {
    out->push_back(static_cast<uint8_t>(w));
    out->push_back(static_cast<uint8_t>(w >> 8));
  }
}

std::vector<uint8_t> Words(std::initializer_list<unsigned> words) {
  std::vector<uint8_t> out;
  Put(&out, words);
  return out;
}

// Bytes of a menu written by hand: the magic, then 16-bit words.
std::vector<uint8_t> Raw(std::initializer_list<unsigned> words, const char* magic = "LMMN") {
  std::vector<uint8_t> out(magic, magic + 4);
  Put(&out, words);
  return out;
}

TEST(MenuResource, ReadsOnlyWellFormedBytes) {
  std::vector<uint8_t> deep = Raw({});
  for (int d = 0; d <= kMenuMaxDepth; ++d) Put(&deep, {1, MF_POPUP, 0, 0});
  Put(&deep, {0});
  std::vector<uint8_t> trailing = Raw({0});
  trailing.push_back(0);
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
  } cases[] = {
      {"empty menu", Raw({0}), true},
      {"one command", Raw({1, 0, 9, 1, 'x'}), true},
      {"pop-up with one separator", Raw({1, MF_POPUP, 0, 1, 'P', 1, MF_SEPARATOR, 0, 0}), true},
      {"nothing", {}, false},
      {"magic only", Raw({}), false},
      {"wrong magic", Raw({0}, "LMBM"), false},
      {"half a count", std::vector<uint8_t>{'L', 'M', 'M', 'N', 1}, false},
      {"count past the end", Raw({2, 0, 9, 0}), false},
      {"item cut short", Raw({1, 0, 9}), false},
      {"text past the end", Raw({1, 0, 9, 3, 'a', 'b'}), false},
      {"text length absurd", Raw({1, 0, 9, 0xFFFF}), false},
      {"pop-up without its list", Raw({1, MF_POPUP, 0, 0}), false},
      {"unknown flag", Raw({1, 0x2000, 9, 0}), false},
      {"pop-up and separator", Raw({1, MF_POPUP | MF_SEPARATOR, 0, 0, 0}), false},
      {"nested too deep", deep, false},
      {"a byte after the items", trailing, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Items items{{0, 1, u"stale", {}}};
    std::string error;
    EXPECT_EQ(DecodeMenuResource(c.bytes.data(), c.bytes.size(), &items, &error), c.ok) << error;
    if (!c.ok) {
      EXPECT_TRUE(items.empty());
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(MenuBarDescription, RoundTripsTheAppsDescription) {
  MenuBarDescription d = AppMenuBar();
  std::vector<uint8_t> bytes = EncodeMenuBarDescription(d);
  ASSERT_EQ(bytes.size(), 2u * (2 + 7 * 2));
  // The words as the app's description lays them out.
  const uint16_t words[] = {102, 2, 0xFFFE, 40001, 4, 0x18, 302, 0, 0, 0xFFFE, 40003, 4, 0x18, 304, 0, 1};
  for (size_t i = 0; i < std::size(words); ++i) EXPECT_EQ(bytes[2 * i] | bytes[2 * i + 1] << 8, words[i]) << i;
  MenuBarDescription back;
  std::string error;
  ASSERT_TRUE(DecodeMenuBarDescription(bytes.data(), bytes.size(), &back, &error)) << error;
  ASSERT_EQ(back.buttons.size(), 2u);
  EXPECT_EQ(back.menuId, 102);
  EXPECT_EQ(back.buttons[1].command, 40003);
  EXPECT_EQ(back.buttons[1].stringId, 304);
  EXPECT_EQ(back.buttons[1].popup, 1);
  EXPECT_TRUE(CheckMenuBarAgainstMenu(back, AppMenu(), &error)) << error;
}

TEST(MenuBarDescription, RefusesMalformedDescriptions) {
  std::vector<uint8_t> odd = Words({102, 0});
  odd.push_back(0);
  std::vector<uint8_t> many = Words({102, kMenuBarMaxButtons + 1});
  many.resize(4 + 14 * (kMenuBarMaxButtons + 1));
  // Pop-up index checked against the app's two pop-ups; a plain button's
  // index does not matter.
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool reads;
    bool fitsMenu;
  } cases[] = {
      {"no buttons", Words({102, 0}), true, true},
      {"one drop-down", Words({102, 1, 0xFFFE, 1, 4, 0x18, 302, 0, 1}), true, true},
      {"plain button, index ignored", Words({102, 1, 0, 1, 4, 0, 0, 0, 99}), true, true},
      {"nothing", {}, false, false},
      {"one word", Words({102}), false, false},
      {"odd byte count", odd, false, false},
      {"count past the end", Words({102, 2, 0xFFFE, 1, 4, 0x18, 302, 0, 0}), false, false},
      {"button cut short", Words({102, 1, 0xFFFE, 1, 4, 0x18, 302, 0}), false, false},
      {"words after the buttons", Words({102, 0, 0}), false, false},
      {"too many buttons", many, false, false},
      {"pop-up index past the menu", Words({102, 1, 0xFFFE, 1, 4, 0x18, 302, 0, 2}), true, false},
      {"pop-up index absurd", Words({102, 1, 0xFFFE, 1, 4, 0x08, 302, 0, 0xFFFF}), true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MenuBarDescription d;
    std::string error;
    EXPECT_EQ(DecodeMenuBarDescription(c.bytes.data(), c.bytes.size(), &d, &error), c.reads) << error;
    if (!c.reads) {
      EXPECT_TRUE(d.buttons.empty());
      continue;
    }
    EXPECT_EQ(CheckMenuBarAgainstMenu(d, AppMenu(), &error), c.fitsMenu) << error;
  }
  Items commandsOnly{{0, 1, u"Not a pop-up", {}}};
  MenuBarDescription d = AppMenuBar();
  std::string error;
  EXPECT_FALSE(CheckMenuBarAgainstMenu(d, commandsOnly, &error)) << "index 0 names a command, not a pop-up";
}

}  // namespace
