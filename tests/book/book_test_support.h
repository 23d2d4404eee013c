// Helpers shared by the book compiler's tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/book/book_resources.h"
#include "tools/book/book_source.h"

namespace booktest {

inline std::string DataPath(const std::string& name) {
  return std::string(LUMORA_SOURCE_DIR) + "/tests/data/book/" + name;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The real books beside the project, when they are there.
inline std::vector<std::string> SharedBooks() {
  std::vector<std::string> books;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(LUMORA_SHARED_BOOKS, ec)) {
    if (entry.path().extension() == ".book") books.push_back(entry.path().string());
  }
  std::sort(books.begin(), books.end());
  return books;
}

// A whole book around `head`: after it, one more group and as many plain
// sides as bring the count to 110. Line numbers inside `head` stay as written.
inline std::string WithFillerSides(const std::string& head) {
  int sides = 0;
  size_t at = 0;
  while (at < head.size()) {
    if (head.compare(at, 3, "## ") == 0 || head.compare(at, 3, "##\n") == 0) ++sides;
    size_t end = head.find('\n', at);
    at = end == std::string::npos ? head.size() : end + 1;
  }
  std::string text = head;
  if (!text.empty() && text.back() != '\n') text += '\n';
  text += "# קבוצה\n";
  for (int k = sides; k < book::kSideCount; ++k) {
    text += "## דף " + std::to_string(k + 1) + "\n### main\nטקסט\n### commentary\nפירוש\n";
  }
  return text;
}

// Parses and compiles; fails the test on any diagnostic.
inline book::CompiledBook CompileText(const std::string& text) {
  book::BookSource source;
  std::vector<book::Diagnostic> diagnostics;
  book::CompiledBook compiled;
  bool ok = book::ParseBookSource(text, &source, &diagnostics) && book::CompileBook(source, &compiled, &diagnostics);
  EXPECT_TRUE(ok);
  for (const book::Diagnostic& d : diagnostics) ADD_FAILURE() << book::FormatDiagnostic("book", d);
  return compiled;
}

// The bytes as a string, for readable comparisons.
inline std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// One token of a PalmDoc LZ77 stream, read the way the format defines it.
struct Token {
  enum Kind { kLiteral, kRun, kCopy, kSpacePair } kind;
  size_t distance = 0;
  size_t length = 0;  // output bytes
};

inline std::vector<Token> ReadTokens(const std::vector<uint8_t>& stream) {
  std::vector<Token> tokens;
  for (size_t i = 0; i < stream.size();) {
    uint8_t c = stream[i];
    if (c >= 0xC0) {
      tokens.push_back({Token::kSpacePair, 0, 2});
      i += 1;
    } else if (c >= 0x80) {
      unsigned w = static_cast<unsigned>(c) << 8 | (i + 1 < stream.size() ? stream[i + 1] : 0);
      tokens.push_back({Token::kCopy, (w >> 3) & 0x7FF, (w & 7) + 3u});
      i += 2;
    } else if (c >= 1 && c <= 8) {
      tokens.push_back({Token::kRun, 0, c});
      i += 1 + c;
    } else {
      tokens.push_back({Token::kLiteral, 0, 1});
      i += 1;
    }
  }
  return tokens;
}

inline bool IsSingleLiteral(uint8_t c) { return c == 0 || (c >= 0x09 && c <= 0x7F); }

// The longest match at i (at most 10 bytes, at most 2047 back), by trying
// every distance; 0 and distance 0 when there is none of 3 bytes.
inline size_t NaiveLongestMatch(const std::vector<uint8_t>& d, size_t i, size_t* distance) {
  size_t best = 0;
  *distance = 0;
  for (size_t back = 1; back <= 2047 && back <= i; ++back) {
    size_t n = 0;
    while (n < 10 && i + n < d.size() && d[i + n] == d[i - back + n]) ++n;
    if (n >= 3 && n > best) best = n, *distance = back;
  }
  return best;
}

// A plain greedy encoder: the longest match where there is one, else a
// space pair, a literal, or a run of the bytes that need one.
inline std::vector<uint8_t> GreedyCompress(const std::vector<uint8_t>& d) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < d.size();) {
    size_t distance;
    size_t n = NaiveLongestMatch(d, i, &distance);
    if (n >= 3) {
      out.push_back(static_cast<uint8_t>(0x80 | distance >> 5));
      out.push_back(static_cast<uint8_t>((distance & 0x1F) << 3 | (n - 3)));
      i += n;
    } else if (i + 1 < d.size() && d[i] == ' ' && d[i + 1] >= 0x40 && d[i + 1] <= 0x7F) {
      out.push_back(static_cast<uint8_t>(d[i + 1] | 0x80));
      i += 2;
    } else if (IsSingleLiteral(d[i])) {
      out.push_back(d[i++]);
    } else {
      size_t k = 0;
      while (k < 8 && i + k < d.size() && !IsSingleLiteral(d[i + k])) ++k;
      out.push_back(static_cast<uint8_t>(k));
      out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i), d.begin() + static_cast<std::ptrdiff_t>(i + k));
      i += k;
    }
  }
  return out;
}

}  // namespace booktest
