#include "tools/book/book_source.h"

#include <algorithm>
#include <cstdio>

#include "tools/book/book_text.h"

namespace book {

namespace {

constexpr size_t kRecordOverhead = 3;  // flags, parameter, NUL
constexpr size_t kArticleEnd = 3;      // the end mark and two more zero bytes
constexpr size_t kEntryOverhead = 5;   // id, flags, level, NUL
constexpr size_t kIndexEnd = 5;

std::string_view TrimSpaces(std::string_view s) {
  size_t begin = s.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  size_t end = s.find_last_not_of(' ');
  return s.substr(begin, end - begin + 1);
}

std::string_view TrimTrailingSpaces(std::string_view s) {
  size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : s.substr(0, end + 1);
}

bool StartsWithMarker(std::string_view line, std::string_view marker) {
  return line.substr(0, marker.size()) == marker &&
         (line.size() == marker.size() || line[marker.size()] == ' ');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads "0x" and one or two hex digits at *pos.
bool ReadHexByte(std::string_view s, size_t* pos, uint8_t* value) {
  if (s.substr(*pos, 2) != "0x" && s.substr(*pos, 2) != "0X") return false;
  size_t p = *pos + 2;
  int v = 0;
  size_t digits = 0;
  while (p < s.size() && digits < 2 && HexValue(s[p]) >= 0) v = v * 16 + HexValue(s[p++]), ++digits;
  if (digits == 0 || (p < s.size() && HexValue(s[p]) >= 0)) return false;
  *value = static_cast<uint8_t>(v);
  *pos = p;
  return true;
}

class Parser {
 public:
  Parser(BookSource* book, std::vector<Diagnostic>* diagnostics)
      : book_(book), diagnostics_(diagnostics) {}

  void Run(std::string_view text);

 private:
  bool Stopped() const { return diagnostics_->size() > kMaxDiagnostics; }
  void Error(int line, int column, std::string message);
  void CarriageReturn(int line, int column);
  std::string Encode(std::string_view utf8, int line, int column);
  void CheckComment(std::string_view line, int number);

  void HandleLine(std::string_view line, int number);
  void HandleStructure(std::string_view line, int number);
  bool ReadLabel(std::string_view line, size_t hashes, int number, const char* what, std::string* label);
  void StartArticle(std::string_view rest, int number);
  void HandleArticleLine(std::string_view line, int number);
  void AddSingleLineRecord(SourceRecord::Kind kind, std::string_view line, size_t markerLength, int number);
  void AddRule(std::string_view line, int number);
  void AddExplicit(std::string_view line, int number);
  void AddParagraphLine(std::string_view line, int number);
  SourceRecord StartRecord(SourceRecord::Kind kind, uint8_t flags, int number);
  void AddRecord(SourceRecord record);
  void CheckParagraphLength(const SourceRecord& record);

  void EndParagraph();
  void CloseArticle();
  void CloseSide();
  void Finish(int lastLine);

  BookSource* book_;
  std::vector<Diagnostic>* diagnostics_;
  bool sawCarriageReturn_ = false;
  bool tooManySides_ = false;
  bool sideOpen_ = false;
  SourceArticle* article_ = nullptr;
  bool commentary_ = false;
  SourceArticle orphan_;  // takes the lines of a misplaced article, so they are still checked
  bool paragraphOpen_ = false;
};

void Parser::Error(int line, int column, std::string message) {
  if (Stopped()) return;
  if (diagnostics_->size() == kMaxDiagnostics) {
    diagnostics_->push_back({line, column, "too many errors; stopping here"});
    return;
  }
  diagnostics_->push_back({line, column, std::move(message)});
}

void Parser::CarriageReturn(int line, int column) {
  // A file with CRLF endings has one on every line: once is enough.
  if (sawCarriageReturn_) return;
  sawCarriageReturn_ = true;
  Error(line, column, "carriage return: the file must use LF line endings");
}

std::string Parser::Encode(std::string_view utf8, int line, int column) {
  std::string out;
  out.reserve(utf8.size());
  bool reportedBadUtf8 = false;
  for (size_t i = 0; i < utf8.size(); ++column) {
    Utf8Char c = DecodeUtf8(utf8.substr(i));
    if (!c.valid) {
      if (!reportedBadUtf8) {
        char message[48];
        std::snprintf(message, sizeof message, "invalid UTF-8 (byte 0x%02X)", static_cast<uint8_t>(utf8[i]));
        Error(line, column, message);
        reportedBadUtf8 = true;
      }
    } else if (c.codePoint == '\r') {
      CarriageReturn(line, column);
    } else {
      CharMapping m = MapSourceChar(c.codePoint);
      if (m.kind == CharMapping::kStored) {
        out.push_back(static_cast<char>(m.code));
      } else if (m.kind == CharMapping::kDropped) {
        ++book_->droppedMarks;
      } else {
        Error(line, column, m.why);
      }
    }
    i += c.length;
  }
  return out;
}

void Parser::CheckComment(std::string_view line, int number) {
  int column = 1;
  for (size_t i = 0; i < line.size(); ++column) {
    Utf8Char c = DecodeUtf8(line.substr(i));
    if (!c.valid) {
      Error(number, column, "invalid UTF-8 in a comment");
      return;
    }
    if (c.codePoint == '\r') CarriageReturn(number, column);
    i += c.length;
  }
}

void Parser::Run(std::string_view text) {
  int number = 0;
  size_t start = 0;
  while (start < text.size() && !Stopped()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    HandleLine(text.substr(start, end - start), ++number);
    start = end + 1;
  }
  if (!Stopped()) Finish(number == 0 ? 1 : number);
  std::stable_sort(diagnostics_->begin(), diagnostics_->end(), [](const Diagnostic& a, const Diagnostic& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
}

void Parser::HandleLine(std::string_view line, int number) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
    // The column counts characters; the prefix may hold Hebrew.
    int column = 1;
    for (size_t i = 0; i < line.size(); ++column) i += DecodeUtf8(line.substr(i)).length;
    CarriageReturn(number, column);
  }
  if (!line.empty() && line[0] == '%') {
    CheckComment(line, number);
  } else if (TrimSpaces(line).empty()) {
    EndParagraph();
  } else if (line[0] == '#') {
    HandleStructure(line, number);
  } else if (article_ == nullptr) {
    Error(number, 1, "text outside an article: it belongs after '### main' or '### commentary'");
  } else {
    HandleArticleLine(line, number);
  }
}

bool Parser::ReadLabel(std::string_view line, size_t hashes, int number, const char* what,
                       std::string* label) {
  std::string_view rest = line.substr(hashes);
  if (!rest.empty() && rest[0] != ' ') {
    Error(number, static_cast<int>(hashes) + 1,
          "'" + std::string(hashes, '#') + "' must be followed by a space and the " + what);
    return false;
  }
  std::string_view trimmed = TrimSpaces(rest);
  if (trimmed.empty()) {
    Error(number, 1, std::string("empty ") + what);
    return false;
  }
  int column = static_cast<int>(trimmed.data() - line.data()) + 1;
  *label = Encode(trimmed, number, column);
  return true;
}

void Parser::HandleStructure(std::string_view line, int number) {
  CloseArticle();
  size_t hashes = line.find_first_not_of('#');
  if (hashes == std::string_view::npos) hashes = line.size();
  if (hashes == 1) {
    CloseSide();
    SourceGroup group;
    group.line = number;
    ReadLabel(line, hashes, number, "group label", &group.label);
    book_->groups.push_back(std::move(group));
  } else if (hashes == 2) {
    CloseSide();
    SourceSide side;
    side.line = number;
    side.group = static_cast<int>(book_->groups.size()) - 1;
    ReadLabel(line, hashes, number, "side label", &side.label);
    if (book_->groups.empty()) Error(number, 1, "a side must come after a group line ('# label')");
    if (book_->sides.size() == kSideCount && !tooManySides_) {
      tooManySides_ = true;
      Error(number, 1, "more than " + std::to_string(kSideCount) + " sides: a book has exactly " +
                           std::to_string(kSideCount));
    }
    book_->sides.push_back(std::move(side));
    sideOpen_ = true;
  } else if (hashes == 3) {
    StartArticle(line.substr(3), number);
  } else {
    Error(number, 1, "unknown structure line: expected '# ', '## ', '### main' or '### commentary'");
  }
}

void Parser::StartArticle(std::string_view rest, int number) {
  std::string_view word = TrimSpaces(rest);
  bool isMain = word == "main";
  if ((!isMain && word != "commentary") || rest.empty() || rest[0] != ' ') {
    Error(number, 1, "expected '### main' or '### commentary'");
    return;
  }
  orphan_ = SourceArticle{};
  article_ = &orphan_;
  commentary_ = !isMain;
  if (!sideOpen_) {
    Error(number, 1, "an article outside a side: a side starts with '## label'");
    return;
  }
  SourceSide& side = book_->sides.back();
  if (isMain && side.main.line != 0) {
    Error(number, 1, "this side already has its main article (line " + std::to_string(side.main.line) + ")");
  } else if (!isMain && side.commentary.line != 0) {
    Error(number, 1, "this side already has its commentary article (line " +
                         std::to_string(side.commentary.line) + ")");
  } else {
    // Out of order, but still the side's article: its lines are read as such.
    if (isMain && side.commentary.line != 0) {
      Error(number, 1, "'### main' must come before the side's '### commentary'");
    } else if (!isMain && side.main.line == 0) {
      Error(number, 1, "'### commentary' must follow the side's '### main'");
    }
    article_ = isMain ? &side.main : &side.commentary;
  }
  article_->line = number;
}

void Parser::HandleArticleLine(std::string_view line, int number) {
  if (StartsWithMarker(line, "!!")) {
    AddSingleLineRecord(SourceRecord::kSecondTitle, line, 2, number);
  } else if (StartsWithMarker(line, "!")) {
    AddSingleLineRecord(SourceRecord::kTitle, line, 1, number);
  } else if (StartsWithMarker(line, ">")) {
    AddSingleLineRecord(SourceRecord::kLemma, line, 1, number);
  } else if (StartsWithMarker(line, "---")) {
    AddRule(line, number);
  } else if (line.substr(0, 7) == "{flags=") {
    AddExplicit(line, number);
  } else {
    AddParagraphLine(line, number);
  }
}

void Parser::AddSingleLineRecord(SourceRecord::Kind kind, std::string_view line, size_t markerLength,
                                 int number) {
  EndParagraph();
  static constexpr const char* kNames[] = {"a title ('!')", "a second title ('!!')", "a lemma ('>')"};
  static constexpr uint8_t kFlags[] = {kTitleFlags, kSecondTitleFlags, kLemmaFlags};
  const std::string name = kNames[kind];
  const std::vector<SourceRecord>& records = article_->records;
  if (kind == SourceRecord::kTitle && !records.empty()) {
    Error(number, 1, name + " is allowed only as the first record of an article");
  } else if (kind == SourceRecord::kSecondTitle &&
             (records.empty() || records.back().kind != SourceRecord::kTitle)) {
    Error(number, 1, name + " must come right after the first title ('!')");
  } else if (kind == SourceRecord::kLemma && !commentary_) {
    Error(number, 1, name + " belongs only in a commentary article");
  }
  std::string_view text = TrimSpaces(line.substr(markerLength));
  SourceRecord record = StartRecord(kind, kFlags[kind], number);
  record.text = Encode(text, number, static_cast<int>(text.data() - line.data()) + 1);
  if (record.text.empty()) Error(number, 1, name + " needs a text");
  CheckParagraphLength(record);
  AddRecord(std::move(record));
}

void Parser::AddRule(std::string_view line, int number) {
  SourceRecord record = StartRecord(SourceRecord::kRule, kRuleFlags, number);
  record.parameter = kDefaultRuleWidth;
  std::string_view width = TrimSpaces(line.substr(3));
  if (!width.empty()) {
    int value = 0;
    bool ok = width.size() <= 3 && std::all_of(width.begin(), width.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (ok) {
      for (char c : width) value = value * 10 + (c - '0');
      ok = value <= 255;
    }
    if (!ok) {
      Error(number, static_cast<int>(width.data() - line.data()) + 1,
            "rule width must be a whole number from 0 to 255");
      return;
    }
    record.parameter = static_cast<uint8_t>(value);
  }
  AddRecord(std::move(record));
}

void Parser::AddExplicit(std::string_view line, int number) {
  SourceRecord record = StartRecord(SourceRecord::kExplicit, 0, number);
  size_t pos = 7;
  size_t flagsAt = pos;
  bool ok = ReadHexByte(line, &pos, &record.flags);
  if (ok && line.substr(pos, 7) == " param=") {
    pos += 7;
    ok = ReadHexByte(line, &pos, &record.parameter);
  } else {
    ok = false;
  }
  if (ok && line.substr(pos, 1) == "}") {
    ++pos;
    ok = pos == line.size() || line[pos] == ' ';
  } else {
    ok = false;
  }
  if (!ok) {
    Error(number, static_cast<int>(pos) + 1, "malformed record header: expected '{flags=0xNN param=0xNN} text'");
    return;
  }
  if (record.flags == 0) {
    Error(number, static_cast<int>(flagsAt) + 1, "flags must not be zero: a zero flags byte ends the article");
    return;
  }
  // One space separates the header from the text; any more belong to the text.
  std::string_view text = TrimTrailingSpaces(line.substr(std::min(pos + 1, line.size())));
  int column = static_cast<int>(pos) + 2;
  if (IsRule(record.flags) && !text.empty()) {
    Error(number, column, "a rule record (flags & 7 == 7) carries no text");
  } else {
    record.text = Encode(text, number, column);
  }
  bool takesMoreLines = !IsRule(record.flags);
  AddRecord(std::move(record));
  paragraphOpen_ = takesMoreLines;
}

void Parser::AddParagraphLine(std::string_view line, int number) {
  std::string_view trimmed = TrimSpaces(line);
  std::string text = Encode(trimmed, number, static_cast<int>(trimmed.data() - line.data()) + 1);
  if (paragraphOpen_) {
    std::string& into = article_->records.back().text;
    if (!into.empty() && !text.empty()) into.push_back(' ');
    into += text;
    return;
  }
  SourceRecord record =
      StartRecord(SourceRecord::kParagraph, commentary_ ? kCommentaryParagraphFlags : kMainParagraphFlags, number);
  record.text = std::move(text);
  AddRecord(std::move(record));
  paragraphOpen_ = true;
}

SourceRecord Parser::StartRecord(SourceRecord::Kind kind, uint8_t flags, int number) {
  EndParagraph();
  SourceRecord record;
  record.kind = kind;
  record.flags = flags;
  record.line = number;
  return record;
}

void Parser::AddRecord(SourceRecord record) {
  std::vector<SourceRecord>& records = article_->records;
  bool isText = record.kind == SourceRecord::kParagraph ||
                (record.kind == SourceRecord::kExplicit && !IsRule(record.flags));
  if (!records.empty() && records.back().kind == SourceRecord::kLemma && !isText) {
    Error(records.back().line, 1, "a lemma ('>') must be followed by a paragraph");
  }
  records.push_back(std::move(record));
}

void Parser::EndParagraph() {
  if (!paragraphOpen_) return;
  paragraphOpen_ = false;
  CheckParagraphLength(article_->records.back());
}

void Parser::CheckParagraphLength(const SourceRecord& record) {
  if (record.text.size() > kMaxParagraph) {
    Error(record.line, 1, "paragraph of " + std::to_string(record.text.size()) + " bytes: at most " +
                              std::to_string(kMaxParagraph));
  }
}

void Parser::CloseArticle() {
  EndParagraph();
  SourceArticle* article = article_;
  article_ = nullptr;
  if (article == nullptr || article == &orphan_) return;
  const std::vector<SourceRecord>& records = article->records;
  if (!records.empty() && records.back().kind == SourceRecord::kLemma) {
    Error(records.back().line, 1, "a lemma ('>') must be followed by a paragraph");
  }
  if (records.empty()) {
    Error(article->line, 1, "empty article: it has no records");
  } else if (records.front().text.empty() && !IsRule(records.front().flags) &&
             (records.front().kind == SourceRecord::kParagraph || records.front().kind == SourceRecord::kExplicit)) {
    Error(records.front().line, 1, "empty article: its first record has no text");
  }
  size_t size = StoredArticleSize(*article);
  if (size > kMaxArticle) {
    Error(article->line, 1, "article of " + std::to_string(size) + " bytes when stored: at most " +
                                std::to_string(kMaxArticle));
  }
}

void Parser::CloseSide() {
  if (!sideOpen_) return;
  sideOpen_ = false;
  const SourceSide& side = book_->sides.back();
  if (side.main.line == 0) Error(side.line, 1, "this side has no '### main' article");
  if (side.commentary.line == 0) Error(side.line, 1, "this side has no '### commentary' article");
}

void Parser::Finish(int lastLine) {
  CloseArticle();
  CloseSide();
  if (book_->sides.size() < kSideCount) {
    Error(lastLine, 1, "the book has " + std::to_string(book_->sides.size()) + " sides: it must have exactly " +
                           std::to_string(kSideCount));
  }
  size_t indexSize = IndexStreamSize(*book_);
  if (indexSize > kMaxIndexStream) {
    Error(book_->groups.empty() ? 1 : book_->groups.front().line, 1,
          "the index stream is " + std::to_string(indexSize) + " bytes: it must stay below 65536");
  }
}

}  // namespace

std::string FormatDiagnostic(std::string_view file, const Diagnostic& d) {
  return std::string(file) + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + d.message;
}

size_t StoredArticleSize(const SourceArticle& article) {
  size_t size = kArticleEnd;
  for (const SourceRecord& r : article.records) size += kRecordOverhead + r.text.size();
  return size;
}

size_t IndexStreamSize(const BookSource& book) {
  size_t size = kIndexEnd;
  for (const SourceGroup& g : book.groups) size += kEntryOverhead + g.label.size();
  for (const SourceSide& s : book.sides) size += kEntryOverhead + s.label.size();
  return size;
}

bool ParseBookSource(std::string_view text, BookSource* book, std::vector<Diagnostic>* diagnostics) {
  *book = BookSource{};
  diagnostics->clear();
  Parser parser(book, diagnostics);
  parser.Run(text);
  return diagnostics->empty();
}

}  // namespace book
