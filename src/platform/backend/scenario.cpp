#include "platform/backend/scenario.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dialogs.h"
#include "platform/user.h"
#include "platform/window/utf8.h"

namespace {

constexpr int kMaxCoordinate = 32767;

struct Named {
  const char* name;
  UINT value;
};

constexpr Named kKeys[] = {
    {"BACK", VK_BACK},     {"TAB", VK_TAB},         {"RETURN", VK_RETURN}, {"SHIFT", VK_SHIFT},
    {"CONTROL", VK_CONTROL}, {"MENU", VK_MENU},     {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE},
    {"PRIOR", VK_PRIOR},   {"NEXT", VK_NEXT},       {"END", VK_END},       {"HOME", VK_HOME},
    {"LEFT", VK_LEFT},     {"UP", VK_UP},           {"RIGHT", VK_RIGHT},   {"DOWN", VK_DOWN},
    {"INSERT", 0x2D},      {"DELETE", VK_DELETE},
};

constexpr Named kAnswers[] = {{"OK", IDOK},       {"CANCEL", IDCANCEL}, {"ABORT", IDABORT}, {"RETRY", IDRETRY},
                              {"IGNORE", IDIGNORE}, {"YES", IDYES},     {"NO", IDNO}};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool Number(const std::string& s, int limit, int* out) {
  if (s.empty() || s.size() > 6) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > limit) return false;
  *out = v;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::string w;
  for (char c : s) {
    if (IsBlank(c)) {
      if (!w.empty()) words.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  if (!w.empty()) words.push_back(w);
  return words;
}

// TEXT after its escapes; false with a reason.
bool Unescape(const std::string& in, std::u16string* out, std::string* why) {
  std::string plain;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      plain += in[i];
      continue;
    }
    char next = i + 1 < in.size() ? in[i + 1] : 0;
    switch (next) {
      case 'n': plain += '\n'; break;
      case 't': plain += '\t'; break;
      case 's': plain += ' '; break;
      case '\\': plain += '\\'; break;
      default: *why = "unknown escape in text (\\n, \\t, \\s and \\\\ are known)"; return false;
    }
    ++i;
  }
  if (!Utf8ToUtf16(plain, out)) {
    *why = "text is not UTF-8";
    return false;
  }
  return true;
}

bool ParseLine(const std::string& line, ScenarioCommand* c, std::string* why) {
  size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  size_t end = start;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  std::string word = line.substr(start, end - start);
  size_t restAt = end;
  while (restAt < line.size() && IsBlank(line[restAt])) ++restAt;
  std::string rest = line.substr(restAt);
  while (!rest.empty() && IsBlank(rest.back())) rest.pop_back();
  std::vector<std::string> args = Words(rest);

  auto point = [&](ScenarioCommand::Kind kind) {
    c->kind = kind;
    if (args.size() != 2) {
      *why = word + " needs X and Y";
      return false;
    }
    if (!Number(args[0], kMaxCoordinate, &c->x) || !Number(args[1], kMaxCoordinate, &c->y)) {
      *why = word + ": coordinates are whole numbers from 0 to 32767";
      return false;
    }
    return true;
  };
  auto needText = [&](const char* what) {
    if (rest.empty()) {
      *why = word + " needs " + what;
      return false;
    }
    return true;
  };

  if (word == "tap") return point(ScenarioCommand::kTap);
  if (word == "press") return point(ScenarioCommand::kPress);
  if (word == "move") return point(ScenarioCommand::kMove);
  if (word == "release") return point(ScenarioCommand::kRelease);
  if (word == "key") {
    c->kind = ScenarioCommand::kKey;
    if (args.size() != 1) {
      *why = "key needs one key name";
      return false;
    }
    if (!ParseKeyName(args[0], &c->key, &c->modifiers)) {
      *why = "unknown key '" + args[0] + "'";
      return false;
    }
    return true;
  }
  if (word == "char") {
    c->kind = ScenarioCommand::kChar;
    return needText("text") && Unescape(rest, &c->text, why);
  }
  if (word == "command") {
    c->kind = ScenarioCommand::kCommand;
    int id = 0;
    if (args.size() != 1 || !Number(args[0], 65535, &id)) {
      *why = "command needs an id from 0 to 65535";
      return false;
    }
    c->key = static_cast<UINT>(id);
    return true;
  }
  if (word == "idle") {
    c->kind = ScenarioCommand::kIdle;
    if (!args.empty()) *why = "idle takes nothing";
    return args.empty();
  }
  if (word == "screenshot") {
    c->kind = ScenarioCommand::kScreenshot;
    c->path = rest;
    return needText("a file");
  }
  if (word == "answer") {
    c->kind = ScenarioCommand::kAnswer;
    int id = 0;
    if (args.size() == 1 && Number(args[0], 65535, &id) && id > 0) {
      c->key = static_cast<UINT>(id);
      return true;
    }
    for (const Named& a : kAnswers) {
      if (args.size() == 1 && Upper(args[0]) == a.name) {
        c->key = a.value;
        return true;
      }
    }
    *why = "answer needs OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO or a number from 1";
    return false;
  }
  if (word == "expect") {
    std::string what = args.empty() ? "" : args[0];
    size_t at = rest.find_first_of(" \t");
    std::string text = at == std::string::npos ? "" : rest.substr(at);
    while (!text.empty() && IsBlank(text.front())) text.erase(text.begin());
    if (what == "messagebox") {
      c->kind = ScenarioCommand::kExpectMessageBox;
      if (text.empty()) {
        *why = "expect messagebox needs its text";
        return false;
      }
      return Unescape(text, &c->text, why);
    }
    if (what == "window") {
      c->kind = ScenarioCommand::kExpectWindow;
      if (text.empty()) {
        *why = "expect window needs a class or a title";
        return false;
      }
      size_t bar = text.find('|');
      if (bar == std::string::npos) {
        c->either = true;
        c->anyClass = c->anyTitle = false;
        if (!Unescape(text, &c->text, why)) return false;
        c->className = c->text;
        return true;
      }
      std::string cls = text.substr(0, bar), title = text.substr(bar + 1);
      c->anyClass = cls.empty();
      c->anyTitle = title.empty();
      return Unescape(cls, &c->className, why) && Unescape(title, &c->text, why);
    }
    *why = "expect needs 'window' or 'messagebox'";
    return false;
  }
  *why = "unknown command '" + word + "'";
  return false;
}

}  // namespace

bool ParseKeyName(const std::string& name, UINT* key, std::vector<UINT>* modifiers) {
  std::string rest = name;
  modifiers->clear();
  static constexpr Named kPrefixes[] = {{"CTRL+", VK_CONTROL}, {"ALT+", VK_MENU}, {"SHIFT+", VK_SHIFT}};
  for (bool found = true; found;) {
    found = false;
    for (const Named& p : kPrefixes) {
      std::string prefix = p.name;
      if (rest.size() > prefix.size() && Upper(rest.substr(0, prefix.size())) == prefix) {
        modifiers->push_back(p.value);
        rest = rest.substr(prefix.size());
        found = true;
      }
    }
  }
  std::string upper = Upper(rest);
  if (upper.rfind("VK_", 0) == 0) upper = upper.substr(3);
  if (upper.size() == 1 && ((upper[0] >= 'A' && upper[0] <= 'Z') || (upper[0] >= '0' && upper[0] <= '9'))) {
    *key = static_cast<UINT>(upper[0]);
    return true;
  }
  int f = 0;
  if (upper.size() >= 2 && upper[0] == 'F' && Number(upper.substr(1), 24, &f) && f >= 1) {
    *key = VK_F1 + static_cast<UINT>(f - 1);
    return true;
  }
  for (const Named& k : kKeys) {
    if (upper == k.name) {
      *key = k.value;
      return true;
    }
  }
  return false;
}

bool ParseScenario(const std::string& text, const std::string& file, Scenario* scenario,
                   std::vector<std::string>* errors) {
  scenario->file = file;
  scenario->commands.clear();
  size_t before = errors->size();
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    ScenarioCommand c;
    c.line = number;
    std::string why;
    if (ParseLine(line, &c, &why)) scenario->commands.push_back(std::move(c));
    else errors->push_back(file + ":" + std::to_string(number) + ": " + why);
  }
  return errors->size() == before;
}

bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::vector<std::string>* errors) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    errors->push_back(path + ": cannot read the scenario");
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  scenario->folder = std::filesystem::path(path).parent_path().string();
  return ParseScenario(text.str(), path, scenario, errors);
}
