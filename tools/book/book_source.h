// The book source: groups of sides, each side a main-text and a commentary
// article made of paragraph records. docs/book-source.md describes the
// format; the parser checks every rule there and reports where it is broken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace book {

constexpr int kSideCount = 110;
constexpr size_t kMaxParagraph = 65000;
constexpr size_t kMaxArticle = 65535;
constexpr size_t kMaxIndexStream = 65535;

// Flags of the records the source lines give.
constexpr uint8_t kTitleFlags = 0xDC;
constexpr uint8_t kSecondTitleFlags = 0xD1;
constexpr uint8_t kLemmaFlags = 0x51;
constexpr uint8_t kMainParagraphFlags = 0xB1;
constexpr uint8_t kCommentaryParagraphFlags = 0xB2;
constexpr uint8_t kRuleFlags = 0x87;
constexpr uint8_t kDefaultRuleWidth = 160;
constexpr uint8_t kRtlFlag = 0x10;
constexpr uint8_t kGroupEntryFlags = 0x8C;
constexpr uint8_t kSideEntryFlags = 0x01;

inline bool IsRule(uint8_t flags) { return (flags & 7) == 7; }

// A position in the source: 1-based line, 1-based column in characters.
struct Diagnostic {
  int line = 0;
  int column = 0;
  std::string message;
};
std::string FormatDiagnostic(std::string_view file, const Diagnostic& d);

struct SourceRecord {
  enum Kind { kTitle, kSecondTitle, kLemma, kRule, kParagraph, kExplicit } kind = kParagraph;
  uint8_t flags = 0;
  uint8_t parameter = 0;
  std::string text;  // BookCode in logical order
  int line = 0;
};

struct SourceArticle {
  int line = 0;  // of its "###" line, 0 while absent
  std::vector<SourceRecord> records;
};

struct SourceSide {
  std::string label;  // BookCode in logical order
  int line = 0;
  int group = -1;
  SourceArticle main;
  SourceArticle commentary;
};

struct SourceGroup {
  std::string label;
  int line = 0;
};

struct BookSource {
  std::vector<SourceGroup> groups;
  std::vector<SourceSide> sides;
  size_t droppedMarks = 0;  // points and cantillation left out of the text
};

// The bytes of an article or of the index stream, as stored before
// compression; the size rules are checked on these.
size_t StoredArticleSize(const SourceArticle& article);
size_t IndexStreamSize(const BookSource& book);

// Parses the whole text. Returns true when no rule is broken; otherwise the
// diagnostics say where, in source order as far as the checks allow, and the
// book holds what could be read. Stops collecting after kMaxDiagnostics.
constexpr size_t kMaxDiagnostics = 50;
bool ParseBookSource(std::string_view text, BookSource* book, std::vector<Diagnostic>* diagnostics);

}  // namespace book
