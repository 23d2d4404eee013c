#include "bookgen/bookgen.h"

#include <algorithm>
#include <array>
#include <map>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// splitmix64 and integer-only sampling: no library distribution and no
// floating point, whose results differ between standard libraries.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  // Uniform in [0, n), n > 0; rejection keeps it free of modulo bias.
  int Below(int n) {
    const std::uint64_t range = static_cast<std::uint64_t>(n);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    std::uint64_t x = Next();
    while (x >= limit) x = Next();
    return static_cast<int>(x % range);
  }

  int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Percent(int p) { return Below(100) < p; }
  // Small values far more often than large ones, as word ranks are.
  int Skewed(int n) { return Below(Below(n) + 1); }

  // Rank r of n with weight 1 / ((r + 1)(r + 31)): about 1 / r among the
  // commonest words, falling faster in the tail, so that a few dozen words
  // make up much of a text, as in real prose (and it compresses as such).
  int Zipf(int n) {
    const std::vector<std::uint32_t>& cumulative = ZipfTable(n);
    const std::uint32_t x = static_cast<std::uint32_t>(Below(static_cast<int>(cumulative.back())));
    int lo = 0, hi = n - 1;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (x < cumulative[mid]) hi = mid;
      else lo = mid + 1;
    }
    return lo;
  }

  template <class T>
  void Shuffle(std::vector<T>& items) {
    for (int i = static_cast<int>(items.size()) - 1; i > 0; --i) std::swap(items[i], items[Below(i + 1)]);
  }

 private:
  static const std::vector<std::uint32_t>& ZipfTable(int n) {
    static std::map<int, std::vector<std::uint32_t>> tables;
    std::vector<std::uint32_t>& t = tables[n];
    if (t.empty()) {
      std::uint32_t sum = 0;
      for (int r = 0; r < n; ++r) {
        const auto rank = static_cast<std::uint32_t>(r + 1);
        t.push_back(sum += 72072000u / (rank * (rank + 30)));
      }
    }
    return t;
  }

  std::uint64_t state_;
};

template <class T>
const T& PickWeighted(Rng& rng, std::span<const T> items) {
  int total = 0;
  for (const T& item : items) total += item.weight;
  int x = rng.Below(total);
  for (const T& item : items) {
    if (x < item.weight) return item;
    x -= item.weight;
  }
  return items.back();
}

struct Bucket {
  int lo, hi, weight;
};

int Sample(Rng& rng, std::span<const Bucket> buckets) {
  const Bucket& b = PickWeighted(rng, buckets);
  return rng.Range(b.lo, b.hi);
}

constexpr Bucket kWordLength[] = {{1, 1, 2},  {2, 2, 16}, {3, 3, 24}, {4, 4, 22}, {5, 5, 15},
                                  {6, 6, 10}, {7, 7, 6},  {8, 8, 3},  {9, 10, 2}};
constexpr Bucket kSentenceWords[] = {{3, 6, 30}, {7, 12, 50}, {13, 20, 20}};
constexpr Bucket kLemmaWords[] = {{1, 1, 20}, {2, 2, 35}, {3, 3, 28}, {4, 4, 17}};
constexpr Bucket kMainParagraphs[] = {{1, 1, 55}, {2, 2, 25}, {3, 3, 12}, {4, 5, 8}};
constexpr Bucket kMainLength[] = {{40, 150, 35}, {150, 400, 38}, {400, 800, 20}, {800, 1600, 7}};
constexpr Bucket kLemmas[] = {{1, 3, 40}, {4, 6, 38}, {7, 10, 17}, {11, 16, 5}};
constexpr Bucket kLemmaParagraphs[] = {{1, 1, 82}, {2, 2, 14}, {3, 3, 4}};
constexpr Bucket kCommentLength[] = {{25, 100, 40}, {100, 250, 35}, {250, 500, 18}, {500, 1200, 7}};
constexpr Bucket kShortCommentLength[] = {{20, 60, 60}, {60, 160, 40}};
constexpr Bucket kAbbreviationHead[] = {{2, 2, 70}, {1, 1, 15}, {3, 3, 15}};

// Text is held one byte per stored byte: a Hebrew letter as the low byte of
// its code point (0xD0 alef to 0xEA tav), everything else as ASCII.
using Text = std::string;

constexpr unsigned char kAlef = 0xD0;
constexpr unsigned char kYod = 0xD9;
constexpr unsigned char kTav = 0xEA;

Text Letters(std::initializer_list<unsigned char> codes) {
  Text t;
  for (unsigned char c : codes) t += static_cast<char>(c);
  return t;
}

bool IsLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= kAlef && u <= kTav;
}

// Kaf, mem, nun, pe and tsadi; each final form is the code point before.
bool TakesFinalForm(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == 0xDB || u == 0xDE || u == 0xE0 || u == 0xE4 || u == 0xE6;
}

void EndWord(Text& word) {
  if (!word.empty() && TakesFinalForm(word.back()))
    word.back() = static_cast<char>(static_cast<unsigned char>(word.back()) - 1);
}

struct Letter {
  unsigned char code;
  int weight;
};

// The 22 letters in their non-final forms, about as often as in running text.
constexpr Letter kLetters[] = {{0xD0, 60}, {0xD1, 50}, {0xD2, 12}, {0xD3, 30},  {0xD4, 85}, {0xD5, 105},
                               {0xD6, 8},  {0xD7, 25}, {0xD8, 12}, {0xD9, 110}, {0xDB, 30}, {0xDC, 70},
                               {0xDE, 65}, {0xE0, 40}, {0xE1, 12}, {0xE2, 30},  {0xE4, 20}, {0xE6, 12},
                               {0xE7, 20}, {0xE8, 55}, {0xE9, 45}, {0xEA, 45}};

// Vav, he, bet, lamed, shin, mem, kaf: the first five also stand alone.
constexpr unsigned char kPrefixes[] = {0xD5, 0xD4, 0xD1, 0xDC, 0xE9, 0xDE, 0xDB};
constexpr int kLoneLetters = 5;

char RandomLetter(Rng& rng) { return static_cast<char>(PickWeighted<Letter>(rng, kLetters).code); }

// A letter that may close a word in its plain form, as before a geresh.
char PlainEndLetter(Rng& rng) {
  char c = RandomLetter(rng);
  while (TakesFinalForm(c)) c = RandomLetter(rng);
  return c;
}

Text NewWord(Rng& rng, int length) {
  Text word;
  while (static_cast<int>(word.size()) < length) {
    const char c = RandomLetter(rng);
    const size_t n = word.size();
    if (n < 2 || word[n - 1] != c || word[n - 2] != c) word += c;
  }
  EndWord(word);
  return word;
}

// 1 to 19 as Hebrew numerals: none of them needs a final form.
Text Numeral(int n) {
  if (n == 15) return Letters({0xD8, 0xD5});
  if (n == 16) return Letters({0xD8, 0xD6});
  Text t;
  if (n >= 10) t += static_cast<char>(kYod);
  if (n % 10 != 0) t += static_cast<char>(kAlef + n % 10 - 1);
  return t;
}

// A numeral as written inside the text: geresh after one letter, gershayim
// before the last of two.
Text MarkedNumeral(int n) {
  Text t = Numeral(n);
  if (t.size() == 1) return t + '\'';
  return t.substr(0, 1) + '"' + t.substr(1);
}

constexpr int kMaxWordLength = 10;

struct Lexicon {
  std::array<std::vector<Text>, kMaxWordLength + 1> byLength;  // from 2 letters up
  std::vector<Text> abbreviations;
  std::vector<Text> citedBooks;
  Text bookName, commentaryName, chapterWord, verseWord;
};

Text NewAbbreviation(Rng& rng) {
  const int head = Sample(rng, kAbbreviationHead);
  Text t;
  for (int i = 1; i < head; ++i) t += RandomLetter(rng);
  t += PlainEndLetter(rng);
  t += '"';
  t += RandomLetter(rng);
  EndWord(t);
  return t;
}

Lexicon MakeLexicon(Rng& rng) {
  static constexpr int kWordsOfLength[kMaxWordLength + 1] = {0, 0, 50, 220, 380, 380, 300, 200, 120, 70, 40};
  Lexicon lex;
  for (int length = 2; length <= kMaxWordLength; ++length)
    for (int i = 0; i < kWordsOfLength[length]; ++i) lex.byLength[length].push_back(NewWord(rng, length));
  for (int i = 0; i < 30; ++i) lex.abbreviations.push_back(NewAbbreviation(rng));
  for (int i = 0; i < 10; ++i) lex.citedBooks.push_back(NewWord(rng, rng.Range(3, 6)));
  lex.bookName = NewWord(rng, rng.Range(4, 6));
  // One draw a statement: compilers order the operands of + differently.
  lex.commentaryName = NewWord(rng, rng.Range(4, 6)) + ' ';
  lex.commentaryName += NewWord(rng, rng.Range(3, 5));
  lex.chapterWord = NewWord(rng, 3);
  lex.verseWord = NewWord(rng, rng.Range(3, 5));
  return lex;
}

class Writer {
 public:
  Writer(Rng& rng, const Lexicon& lexicon) : rng_(rng), lex_(lexicon) {}

  // A paragraph of exactly `length` bytes (at least 3) that ends in '.' or
  // ':'. Its plain words are appended to *words, for lemmas to quote.
  Text Paragraph(int length, std::vector<Text>* words) {
    Text out;
    int sentenceLeft = Sample(rng_, kSentenceWords);
    for (int left = length; left > 12; left = length - static_cast<int>(out.size())) {
      Text token = Token(words);
      if (static_cast<int>(token.size()) + 5 > left) token = PlainWord(rng_.Range(2, 8), words);
      out += token;
      if (--sentenceLeft == 0) {
        out += SentenceEnd(true);
        sentenceLeft = Sample(rng_, kSentenceWords);
      }
      out += ' ';
    }
    int left = length - static_cast<int>(out.size());
    if (left >= 9) {
      const int n = rng_.Range(2, left - 5);
      out += PlainWord(n, words) + ' ';
      left -= n + 1;
    }
    out += PlainWord(left - 1, words);
    out += SentenceEnd(false);
    return out;
  }

 private:
  Text Word(int length) {
    if (length == 1) return Letters({kPrefixes[rng_.Below(kLoneLetters)]});
    if (length >= 3 && rng_.Percent(30)) {
      const auto& list = lex_.byLength[length - 1];
      const char prefix = static_cast<char>(kPrefixes[rng_.Below(std::size(kPrefixes))]);
      return prefix + list[rng_.Zipf(static_cast<int>(list.size()))];
    }
    const auto& list = lex_.byLength[length];
    return list[rng_.Zipf(static_cast<int>(list.size()))];
  }

  Text PlainWord(int length, std::vector<Text>* words) {
    Text word = Word(length);
    words->push_back(word);
    return word;
  }

  Text Reference() {
    const Text& book = lex_.citedBooks[rng_.Skewed(lex_.citedBooks.size())];
    const int form = rng_.Below(100);
    if (form < 45) return '(' + book + ' ' + MarkedNumeral(rng_.Range(1, 19)) + ')';
    if (form < 80) {
      const Text chapter = Numeral(rng_.Range(1, 19));
      return '(' + book + ' ' + chapter + ':' + Numeral(rng_.Range(1, 19)) + ')';
    }
    return '[' + book + ' ' + Word(Sample(rng_, kWordLength)) + ']';
  }

  Text Token(std::vector<Text>* words) {
    const int kind = rng_.Below(1000);
    if (kind < 25) return lex_.abbreviations[rng_.Skewed(lex_.abbreviations.size())];
    if (kind < 37) return Text(1, PlainEndLetter(rng_)) + '\'';
    if (kind < 43) {
      Text t = Word(rng_.Range(2, 4));
      while (TakesFinalForm(t.back())) t = Word(rng_.Range(2, 4));
      return t + '\'';
    }
    if (kind < 65) return Reference();
    return PlainWord(Sample(rng_, kWordLength), words);
  }

  char SentenceEnd(bool questionAllowed) {
    const int x = rng_.Below(100);
    if (questionAllowed && x < 5) return '?';
    return x < 78 ? '.' : ':';
  }

  Rng& rng_;
  const Lexicon& lex_;
};

enum class Kind { kTitle, kLemma, kParagraph };

struct Record {
  Kind kind;
  Text text;
};

constexpr int kSideCount = 110;
constexpr int kGroupSizes[] = {16, 20, 20, 20, 20, 14};
constexpr int kLabelCount = kSideCount + std::size(kGroupSizes);
constexpr int kShortLabels = 27;   // of 5 bytes; the others have 6
constexpr int kArticleCap = 4200;  // all but the largest article
constexpr int kMinParagraph = 20;
constexpr int kWrapWidth = 76;

int TextBytes(const std::vector<Record>& records) {
  int n = 0;
  for (const Record& r : records) n += static_cast<int>(r.text.size());
  return n;
}

// Flags, parameter and NUL around each text, then three zero bytes.
int StoredSize(int records, int textBytes) { return 3 * records + textBytes + 3; }

// Shrinks the lengths in proportion, none below kMinParagraph, until they
// total at most `budget`.
void FitInto(std::vector<int>& lengths, int budget) {
  std::int64_t total = 0, spare = 0;
  for (int n : lengths) {
    total += n;
    spare += n - kMinParagraph;
  }
  if (total <= budget) return;
  const std::int64_t room = budget - static_cast<std::int64_t>(lengths.size()) * kMinParagraph;
  for (int& n : lengths) n = kMinParagraph + static_cast<int>((n - kMinParagraph) * room / spare);
}

struct Side {
  int group;
  int verse;
  int part;  // 0 when the verse has a side of its own, else 1 or 2
};

enum class Role { kPlain, kMostRecords, kLargest, kShortest, kIntroduced };

class BookBuilder {
 public:
  explicit BookBuilder(std::uint64_t seed)
      : seed_(seed), rng_(seed), lex_(MakeLexicon(rng_)), writer_(rng_, lex_) {}

  std::string Build() {
    PlanSides();
    std::vector<int> labelLengths(kLabelCount, 6);
    std::fill_n(labelLengths.begin(), kShortLabels, 5);
    rng_.Shuffle(labelLengths);
    std::vector<Role> roles = PlanRoles();

    const std::string seedText = std::to_string(seed_);
    out_ =
        "% An invented book with an invented commentary, in pseudo-words.\n"
        "% Generated by tools/bookgen with seed " +
        seedText +
        "; do not edit by hand,\n"
        "% regenerate: lumora-bookgen --seed " +
        seedText + " --out FILE\n\n";
    int label = 0;
    int group = -1;
    for (int k = 0; k < kSideCount; ++k) {
      const Side& side = sides_[k];
      if (side.group != group) {
        group = side.group;
        Text text = lex_.chapterWord + ' ' + Chapter(group);
        if (labelLengths[label++] == 6) text += '\'';
        out_ += "# ";
        AppendUtf8(text);
        out_ += "\n\n";
      }
      out_ += "## ";
      AppendUtf8(SideLabel(side, labelLengths[label++]));
      out_ += "\n### main\n";
      std::vector<Text> words;
      Emit(MainArticle(side, roles[k], &words));
      out_ += "### commentary\n";
      Emit(Commentary(side, roles[k], words));
    }
    out_.pop_back();  // no blank line at the end
    return std::move(out_);
  }

 private:
  static Text Chapter(int group) { return Numeral(group + 1); }

  // Each group lists its verses in order. A few verses are split over two
  // sides, which keeps verse numbers below 20: the numeral 20 is a lone kaf,
  // which would have to stand in its final form.
  void PlanSides() {
    for (int g = 0; g < static_cast<int>(std::size(kGroupSizes)); ++g) {
      const int size = kGroupSizes[g];
      const int splits = (size > 19 ? size - 19 : 0) + rng_.Below(3);
      const int verses = size - splits;
      std::vector<int> candidates;
      for (int v = 1; v <= std::min(verses, 10); ++v) candidates.push_back(v);
      rng_.Shuffle(candidates);
      std::vector<bool> split(verses + 1, false);
      for (int i = 0; i < splits; ++i) split[candidates[i]] = true;
      for (int v = 1; v <= verses; ++v) {
        if (!split[v]) {
          sides_.push_back({g, v, 0});
          continue;
        }
        sides_.push_back({g, v, 1});
        sides_.push_back({g, v, 2});
      }
    }
  }

  std::vector<Role> PlanRoles() {
    std::vector<int> order(kSideCount);
    for (int k = 0; k < kSideCount; ++k) order[k] = k;
    rng_.Shuffle(order);
    std::vector<Role> roles(kSideCount, Role::kPlain);
    roles[order[0]] = Role::kMostRecords;
    roles[order[1]] = Role::kLargest;
    roles[order[2]] = Role::kShortest;
    const int introduced = rng_.Range(4, 8);
    for (int i = 0; i < introduced; ++i) roles[order[3 + i]] = Role::kIntroduced;
    return roles;
  }

  Text SideLabel(const Side& side, int length) {
    static constexpr const char* kWhole[] = {"C:V", "C' V", "(C:V)", "[C:V]", "(C' V)", "[C' V]"};
    static constexpr const char* kSplit[] = {"C:V P", "C' V P", "C:V P'"};
    std::vector<Text> fitting;
    const std::span<const char* const> forms = side.part ? std::span<const char* const>(kSplit) : kWhole;
    for (std::string_view form : forms) {
      Text text;
      for (char c : form) {
        if (c == 'C')
          text += Chapter(side.group);
        else if (c == 'V')
          text += Numeral(side.verse);
        else if (c == 'P')
          text += Numeral(side.part);
        else
          text += c;
      }
      if (static_cast<int>(text.size()) == length) fitting.push_back(text);
    }
    return fitting[rng_.Below(fitting.size())];
  }

  Text Title(const Side& side, const Text& name) {
    Text t = name + ' ' + lex_.chapterWord + ' ' + Chapter(side.group);
    t += ' ' + lex_.verseWord + ' ' + Numeral(side.verse);
    if (side.part) t += " (" + Numeral(side.part) + ')';
    return t;
  }

  std::vector<Record> MainArticle(const Side& side, Role role, std::vector<Text>* words) {
    std::vector<Record> records{{Kind::kTitle, Title(side, lex_.bookName)}};
    std::vector<int> lengths;
    if (role == Role::kMostRecords) {
      // Enough words for dozens of lemmas to quote.
      for (int i = rng_.Range(2, 3); i > 0; --i) lengths.push_back(rng_.Range(250, 600));
    } else {
      for (int i = role == Role::kShortest ? 1 : Sample(rng_, kMainParagraphs); i > 0; --i)
        lengths.push_back(Sample(rng_, kMainLength));
    }
    const int count = 1 + static_cast<int>(lengths.size());
    FitInto(lengths, kArticleCap - StoredSize(count, TextBytes(records)));
    for (int n : lengths) records.push_back({Kind::kParagraph, writer_.Paragraph(n, words)});
    return records;
  }

  // A lemma quotes a few words of the main text; lemmas follow it in order.
  Text Lemma(const std::vector<Text>& words, int index, int count) {
    const int n = static_cast<int>(words.size());
    const int start = static_cast<int>(static_cast<std::int64_t>(index) * n / count);
    const int end = std::min(n, start + Sample(rng_, kLemmaWords));
    Text t = words[start];
    for (int i = start + 1; i < end; ++i) t += ' ' + words[i];
    return t;
  }

  std::vector<Record> Commentary(const Side& side, Role role, const std::vector<Text>& mainWords) {
    std::vector<int> perLemma;
    if (role == Role::kMostRecords) {
      // Title and 91 more: lemmas with one paragraph each, a few with more.
      perLemma.assign(rng_.Range(30, 45), 1);
      for (int extra = 91 - 2 * static_cast<int>(perLemma.size()); extra > 0; --extra)
        ++perLemma[rng_.Below(perLemma.size())];
    } else if (role == Role::kLargest) {
      perLemma.assign(rng_.Range(3, 5), 1);
    } else {
      for (int i = Sample(rng_, kLemmas); i > 0; --i) perLemma.push_back(Sample(rng_, kLemmaParagraphs));
    }
    const int lemmas = static_cast<int>(perLemma.size());
    std::vector<Text> lemmaTexts;
    for (int i = 0; i < lemmas; ++i) lemmaTexts.push_back(Lemma(mainWords, i, lemmas));

    std::vector<Record> fixed{{Kind::kTitle, Title(side, lex_.commentaryName)}};
    for (const Text& t : lemmaTexts) fixed.push_back({Kind::kLemma, t});
    std::vector<int> lengths;
    if (role == Role::kIntroduced) lengths.push_back(rng_.Range(300, 1500));
    const std::span<const Bucket> sizes =
        role == Role::kMostRecords ? std::span<const Bucket>(kShortCommentLength) : kCommentLength;
    for (int p : perLemma)
      for (int i = 0; i < p; ++i) lengths.push_back(Sample(rng_, sizes));
    const int count = static_cast<int>(fixed.size() + lengths.size());
    const int fixedSize = StoredSize(count, TextBytes(fixed));
    if (role == Role::kLargest) {
      PlanLargest(lengths, fixedSize);
    } else {
      FitInto(lengths, kArticleCap - fixedSize);
    }

    std::vector<Text> unused;
    std::vector<Record> records{fixed.front()};
    auto length = lengths.begin();
    auto paragraph = [&] { records.push_back({Kind::kParagraph, writer_.Paragraph(*length++, &unused)}); };
    if (role == Role::kIntroduced) paragraph();
    for (int i = 0; i < lemmas; ++i) {
      records.push_back({Kind::kLemma, lemmaTexts[i]});
      for (int p = 0; p < perLemma[i]; ++p) paragraph();
    }
    return records;
  }

  // The largest article of the book holds its longest paragraph; the rest
  // of its size is shared among its other paragraphs.
  void PlanLargest(std::vector<int>& lengths, int fixedSize) {
    const int longest = rng_.Range(2400, 2550);
    int rest = rng_.Range(4900, 5100) - fixedSize - longest;
    const int at = rng_.Below(lengths.size());
    lengths[at] = longest;
    int parts = static_cast<int>(lengths.size()) - 1;
    for (int i = 0; i < static_cast<int>(lengths.size()); ++i) {
      if (i == at) continue;
      const int share = rest / parts;
      lengths[i] = parts == 1 ? rest : share + rng_.Range(-share / 4, share / 4);
      rest -= lengths[i];
      --parts;
    }
  }

  void AppendUtf8(const Text& text) {
    for (char c : text) {
      if (!IsLetter(c)) {
        out_ += c;
        continue;
      }
      const unsigned code = 0x500u + static_cast<unsigned char>(c);
      out_ += static_cast<char>(0xC0 | (code >> 6));
      out_ += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  // Paragraph lines are joined again with one space, so wrapping at spaces
  // keeps the text as it is.
  void AppendWrapped(const Text& text) {
    int column = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
      const size_t space = rest.find(' ');
      const std::string_view word = rest.substr(0, space);
      rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
      if (column > 0 && column + 1 + static_cast<int>(word.size()) > kWrapWidth) {
        out_ += '\n';
        column = 0;
      } else if (column > 0) {
        out_ += ' ';
        ++column;
      }
      AppendUtf8(Text(word));
      column += static_cast<int>(word.size());
    }
    out_ += '\n';
  }

  void Emit(const std::vector<Record>& records) {
    for (const Record& r : records) {
      switch (r.kind) {
        case Kind::kTitle:
          out_ += "! ";
          AppendUtf8(r.text);
          out_ += "\n\n";
          break;
        case Kind::kLemma:
          out_ += "> ";
          AppendUtf8(r.text);
          out_ += '\n';
          break;
        case Kind::kParagraph:
          AppendWrapped(r.text);
          out_ += '\n';
          break;
      }
    }
  }

  std::uint64_t seed_;
  Rng rng_;
  Lexicon lex_;
  Writer writer_;
  std::vector<Side> sides_;
  std::string out_;
};

std::string Usage() {
  return "Usage: lumora-bookgen [--seed N] [--out FILE]\n"
         "Writes a generated book source to standard output or to FILE.\n"
         "  --seed N    decimal seed, 0 to 18446744073709551615 (default " +
         std::to_string(kDefaultBookSeed) +
         ");\n"
         "              the default seed gives resources/book/sample.book\n"
         "  --out FILE  write to FILE instead of standard output\n"
         "  --help      show this help\n";
}

}  // namespace

std::string GenerateBook(std::uint64_t seed) { return BookBuilder(seed).Build(); }

int RunBookgen(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  std::uint64_t seed = kDefaultBookSeed;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << Usage();
      return 0;
    }
    if (arg != "--seed" && arg != "--out") {
      err << "lumora-bookgen: unknown argument '" << arg << "'\n" << Usage();
      return 2;
    }
    if (i + 1 == argc) {
      err << "lumora-bookgen: " << arg << " needs a value\n" << Usage();
      return 2;
    }
    const std::string_view value = argv[++i];
    if (arg == "--out") {
      path = argv[i];
      continue;
    }
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size()) {
      err << "lumora-bookgen: bad seed '" << value << "'\n" << Usage();
      return 2;
    }
  }
  const std::string book = GenerateBook(seed);
  if (path == nullptr) {
    out << book << std::flush;
    return out ? 0 : 1;
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << book;
  file.close();
  if (!file) {
    err << "lumora-bookgen: cannot write " << path << '\n';
    return 1;
  }
  return 0;
}
