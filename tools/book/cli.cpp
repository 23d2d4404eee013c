#include "tools/book/cli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "tools/book/book_dump.h"
#include "tools/book/book_output.h"
#include "tools/book/book_resources.h"
#include "tools/book/book_source.h"

namespace {

constexpr const char kUsage[] =
    "usage: lumora-book [options] BOOK\n"
    "Compiles a book source into the reader's 221 stored resources.\n"
    "\n"
    "  --pack FILE    write the resource pack\n"
    "  --source FILE  write a C++ source that embeds the pack\n"
    "  --stats        print the size of every article and of the index\n"
    "  --check        check the book only; write nothing\n"
    "  --dump N       print the records of article N (1-220) or of the index (32767)\n"
    "  --help         print this text\n"
    "\n"
    "Errors are reported as FILE:LINE:COLUMN: MESSAGE; the exit status is 0 when\n"
    "the book compiled, 1 when it did not, 2 for a usage error.\n";

struct Options {
  std::string book;
  std::string pack;
  std::string source;
  bool stats = false;
  bool check = false;
  bool help = false;
  std::optional<int> dump;
};

// Returns an empty string, or what is wrong with the command line.
std::string ParseArguments(const std::vector<std::string>& args, Options* o) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg.resize(eq);
      }
    }
    auto value = [&](std::string* into) -> std::string {
      if (inlineValue) {
        *into = *inlineValue;
      } else if (i + 1 < args.size()) {
        *into = args[++i];
      } else {
        return arg + " needs a value";
      }
      return into->empty() ? arg + " needs a value" : "";
    };
    auto flag = [&](bool* into) -> std::string {
      *into = true;
      return inlineValue ? arg + " takes no value" : "";
    };
    std::string problem;
    if (arg == "--pack") {
      problem = value(&o->pack);
    } else if (arg == "--source") {
      problem = value(&o->source);
    } else if (arg == "--stats") {
      problem = flag(&o->stats);
    } else if (arg == "--check") {
      problem = flag(&o->check);
    } else if (arg == "--help" || arg == "-h") {
      problem = flag(&o->help);
    } else if (arg == "--dump") {
      std::string text;
      problem = value(&text);
      if (problem.empty()) {
        char* end = nullptr;
        errno = 0;
        long n = std::strtol(text.c_str(), &end, 10);
        bool ok = errno == 0 && *end == '\0' &&
                  ((n >= 1 && n <= book::kArticleCount) || n == book::kIndexResource);
        if (!ok) return "--dump takes an article number from 1 to 220, or 32767 for the index";
        o->dump = static_cast<int>(n);
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      problem = "unknown option " + arg;
    } else if (!o->book.empty()) {
      problem = "more than one book: " + o->book + " and " + arg;
    } else {
      o->book = arg;
    }
    if (!problem.empty()) return problem;
  }
  if (o->help) return "";
  if (o->book.empty()) return "no book source given";
  if (o->check && (!o->pack.empty() || !o->source.empty())) return "--check writes nothing: drop --pack and --source";
  return "";
}

bool ReadFile(const std::string& path, std::string* contents, std::string* error) {
  // stdio rather than streams: a directory or a read error is a failed read
  // here, not an exception.
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) contents->append(chunk, n);
  bool failed = std::ferror(f) != 0;
  int saved = errno;
  std::fclose(f);
  if (failed) {
    *error = "cannot read " + path + ": " + std::strerror(saved);
    return false;
  }
  return true;
}

std::string StatsRow(const std::string& name, size_t records, size_t expanded, size_t compressed) {
  char row[96];
  std::snprintf(row, sizeof row, "%-8s %7zu %8zu %8zu %6.1f%%\n", name.c_str(), records, expanded, compressed,
                expanded == 0 ? 0.0 : 100.0 * static_cast<double>(compressed) / static_cast<double>(expanded));
  return row;
}

void PrintStats(const book::CompiledBook& compiled, size_t packSize, std::ostream& out) {
  out << "article  records        D        C  ratio\n";
  size_t records = 0, expanded = 0, compressed = 0;
  const book::CompiledItem* largest = nullptr;
  for (const book::CompiledItem& item : compiled.items) {
    bool isIndex = item.number == book::kIndexResource;
    out << StatsRow(isIndex ? "index" : std::to_string(item.number), item.records, item.data.size(),
                    item.stream.size());
    records += item.records;
    expanded += item.data.size();
    compressed += item.stream.size();
    if (!isIndex && (largest == nullptr || item.data.size() > largest->data.size())) largest = &item;
  }
  out << StatsRow("total", records, expanded, compressed);
  if (largest != nullptr) {
    out << "largest: article " << largest->number << ", " << largest->data.size() << " bytes, "
        << largest->stream.size() << " compressed\n";
  }
  out << "pack: " << packSize << " bytes\n";
}

void Report(const std::string& file, const std::vector<book::Diagnostic>& diagnostics, std::ostream& err) {
  for (const book::Diagnostic& d : diagnostics) err << book::FormatDiagnostic(file, d) << '\n';
}

}  // namespace

int RunBookCompiler(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  std::string problem = ParseArguments(args, &options);
  if (!problem.empty()) {
    err << "lumora-book: " << problem << "\nTry 'lumora-book --help'.\n";
    return 2;
  }
  if (options.help) {
    out << kUsage;
    return 0;
  }

  std::string text, error;
  if (!ReadFile(options.book, &text, &error)) {
    err << "lumora-book: " << error << '\n';
    return 1;
  }
  book::BookSource source;
  std::vector<book::Diagnostic> diagnostics;
  bool parsed = book::ParseBookSource(text, &source, &diagnostics);
  Report(options.book, diagnostics, err);
  if (source.droppedMarks > 0) {
    err << options.book << ": note: " << source.droppedMarks << " points and cantillation marks dropped\n";
  }
  if (!parsed) return 1;

  book::CompiledBook compiled;
  diagnostics.clear();
  if (!book::CompileBook(source, &compiled, &diagnostics)) {
    Report(options.book, diagnostics, err);
    return 1;
  }
  if (!book::VerifyCompiledBook(compiled, &error)) {
    err << "lumora-book: " << error << '\n';
    return 1;
  }

  std::vector<uint8_t> pack;
  if (!BuildResourcePack(book::BookResources(compiled), &pack, &error)) {
    err << "lumora-book: " << error << '\n';
    return 1;
  }
  if (options.stats) PrintStats(compiled, pack.size(), out);
  if (options.dump) {
    const book::CompiledItem* item = book::FindItem(compiled, *options.dump);
    std::string listing;
    if (item == nullptr || !book::DumpItem(*item, &listing)) {
      err << "lumora-book: cannot expand resource " << *options.dump << '\n';
      return 1;
    }
    out << listing;
  }
  if (options.check) return 0;

  std::vector<book::OutputFile> files;
  if (!options.pack.empty()) files.push_back({options.pack, std::string(pack.begin(), pack.end())});
  if (!options.source.empty()) files.push_back({options.source, book::EmbeddingSource(pack, options.book)});
  if (!book::WriteOutputFiles(files, &error)) {
    err << "lumora-book: " << error << '\n';
    return 1;
  }
  return 0;
}
