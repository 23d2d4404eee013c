// The clipboard on the desktop backend against another X program (xclip):
// what the program puts there is read back byte for byte, and what xclip
// puts there reaches OpenClipboard and GetClipboardData.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "desktop_fixture.h"
#include "platform/backend/backend.h"
#include "platform/clipboard.h"
#include "platform/memory.h"
#include "platform/window/testing.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::u16string kText = u"Hello, \u05E9\u05DC\u05D5\u05DD!\r\nsecond line \U0001F600";
const std::string kTextUtf8 = "Hello, \u05E9\u05DC\u05D5\u05DD!\r\nsecond line \U0001F600";
const std::string kRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}\\rtldoc\\pard\\rtlpar\\qr\\f0\\fs20\\uc0\r\n"
    "\\u1489  \\u1488 \\par\\par\r\n}\r\n";

Bytes TextBlockBytes(const std::u16string& text) {
  Bytes b((text.size() + 1) * 2, 0);
  std::memcpy(b.data(), text.data(), text.size() * 2);
  return b;
}

Bytes RtfBlockBytes(const std::string& rtf) {
  Bytes b(rtf.begin(), rtf.end());
  b.push_back(0);
  return b;
}

UINT RtfFormat() { return RegisterClipboardFormatW(u"Rich Text Format"); }

HANDLE Block(const Bytes& bytes) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
  if (block != nullptr) std::memcpy(block, bytes.data(), bytes.size());
  return block;
}

// The program's data in a format, or nothing.
std::optional<Bytes> Held(UINT format) {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  HANDLE h = GetClipboardData(format);
  std::optional<Bytes> out;
  if (h != nullptr) {
    const uint8_t* p = static_cast<const uint8_t*>(h);
    out = Bytes(p, p + LocalSize(h));
  }
  CloseClipboard();
  return out;
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("lumora-clip-" + std::to_string(getpid()) + "-" + name)).string();
}

// Waits until xclip holds the selection with this target, so that the
// program asks it and not the owner before.
bool OfferedByXclip(const std::string& target) {
  for (int i = 0; i < 500; ++i) {
    Ran r = RunProgram({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"}, true);
    if (r.code == 0 && r.out.find(target + "\n") != std::string::npos) return true;
    usleep(20000);
  }
  return false;
}

using ClipboardTest = DesktopBackendTest;

}  // namespace

TEST_F(ClipboardTest, WhatTheProgramPutsThereOtherProgramsRead) {
  struct Row {
    const char* name;
    bool text, rtf;      // what the program sets
    const char* target;  // what xclip asks for
    std::string expected;
    bool offered;
  };
  const Row rows[] = {
      {"text as UTF8_STRING", true, false, "UTF8_STRING", kTextUtf8, true},
      {"text as text/plain", true, false, "text/plain;charset=utf-8", kTextUtf8, true},
      {"text is no RTF", true, false, "text/rtf", "", false},
      {"RTF as text/rtf", false, true, "text/rtf", kRtf, true},
      {"RTF as application/rtf", false, true, "application/rtf", kRtf, true},
      {"RTF is no text", false, true, "UTF8_STRING", "", false},
      {"both, RTF", true, true, "text/rtf", kRtf, true},
      {"both, text", true, true, "UTF8_STRING", kTextUtf8, true},
      {"never offered", true, true, "image/png", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HANDLE text = r.text ? Block(TextBlockBytes(kText)) : nullptr;
    if (r.text) {
      ASSERT_EQ(SetClipboardData(CF_UNICODETEXT, text), text);
    }
    if (r.rtf) {
      ASSERT_NE(SetClipboardData(RtfFormat(), Block(RtfBlockBytes(kRtf))), nullptr);
    }
    ASSERT_TRUE(CloseClipboard());

    Ran got = RunProgram({"xclip", "-selection", "clipboard", "-t", r.target, "-o"}, true);
    if (r.offered) {
      EXPECT_EQ(got.code, 0);
      EXPECT_EQ(got.out, r.expected);
    } else {
      EXPECT_NE(got.code, 0);
      EXPECT_EQ(got.out, "");
    }
    Ran targets = RunProgram({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"}, true);
    EXPECT_NE(targets.out.find("TARGETS\n"), std::string::npos);
    EXPECT_EQ(targets.out.find("UTF8_STRING\n") != std::string::npos, r.text);
    EXPECT_EQ(targets.out.find("text/rtf\n") != std::string::npos, r.rtf);

    // The selection is still the program's own: its own blocks come back.
    ASSERT_TRUE(OpenClipboard(nullptr));
    if (r.text) {
      EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), text);
    }
    EXPECT_EQ(GetClipboardData(RtfFormat()) != nullptr, r.rtf);
    CloseClipboard();
  }
}

TEST_F(ClipboardTest, WhatOtherProgramsPutThereTheProgramReads) {
  std::string large(3 << 20, 'x');  // more than one request carries: sent in pieces
  for (size_t i = 0; i < large.size(); i += 61) large[i] = '\n';
  std::u16string largeText(large.begin(), large.end());
  struct Row {
    const char* name;
    const char* target;
    std::string bytes;
    std::optional<std::u16string> text;  // CF_UNICODETEXT without its NUL
    std::optional<std::string> rtf;      // "Rich Text Format" without its NUL
  };
  const Row rows[] = {
      {"UTF8_STRING", "UTF8_STRING", kTextUtf8, kText, std::nullopt},
      {"text/plain", "text/plain;charset=utf-8", "line\n\u05D0", u"line\n\u05D0", std::nullopt},
      {"malformed UTF-8", "UTF8_STRING", "a\xFF\xC3" "b\xE2\x82", u"a\uFFFD\uFFFDb\uFFFD\uFFFD", std::nullopt},
      {"text up to a NUL", "UTF8_STRING", std::string("ab\0cd", 5), u"ab", std::nullopt},
      {"text/rtf", "text/rtf", kRtf, std::nullopt, kRtf},
      {"application/rtf", "application/rtf", kRtf, std::nullopt, kRtf},
      {"neither", "text/html", "<b>x</b>", std::nullopt, std::nullopt},
      {"large text", "UTF8_STRING", large, largeText, std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string file = TempFile("in");
    std::ofstream(file, std::ios::binary) << r.bytes;
    Ran put = RunProgram({"xclip", "-selection", "clipboard", "-t", r.target, "-i", file}, false);
    ASSERT_EQ(put.code, 0);
    ASSERT_TRUE(OfferedByXclip(r.target));

    std::optional<Bytes> text = Held(CF_UNICODETEXT), rtf = Held(RtfFormat());
    ASSERT_EQ(text.has_value(), r.text.has_value());
    if (r.text) {
      EXPECT_TRUE(*text == TextBlockBytes(*r.text));
    }
    ASSERT_EQ(rtf.has_value(), r.rtf.has_value());
    if (r.rtf) {
      EXPECT_EQ(*rtf, RtfBlockBytes(*r.rtf));
    }
    EXPECT_EQ(IsClipboardFormatAvailable(CF_UNICODETEXT), r.text.has_value());
    std::filesystem::remove(file);
  }
}

TEST_F(ClipboardTest, AnOwnerThatNeverAnswersGivesNothing) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, Block(TextBlockBytes(u"ours")));
  CloseClipboard();
  // Publishing is done by the bridge's thread: the silent owner must come
  // after it, not be overtaken by it.
  ASSERT_TRUE(OfferedByXclip("UTF8_STRING"));
  SilentOwner silent;
  ASSERT_TRUE(silent.Owns());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  EXPECT_EQ(GetClipboardData(RtfFormat()), nullptr);
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardTest, AppendingReadsBackWhatWasPublished) {
  // Copy, then append as the reader does: read, extend, put back; xclip
  // sees each state whole.
  std::string document = kRtf;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    std::optional<Bytes> old = Held(RtfFormat());
    std::string next = old ? std::string(old->begin(), old->end() - 1) : "";
    next = next.empty() ? document : next.substr(0, next.size() - 3) + "\\par more\\par\r\n}\r\n";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(RtfFormat(), Block(RtfBlockBytes(next)));
    CloseClipboard();
    Ran got = RunProgram({"xclip", "-selection", "clipboard", "-t", "text/rtf", "-o"}, true);
    EXPECT_EQ(got.out, next);
    document = next;
  }
  EXPECT_EQ(std::count(document.begin(), document.end(), '}'), 3);
}
