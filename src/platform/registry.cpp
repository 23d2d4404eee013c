// The registry tree in memory, written back to its file after every change.
//
// The file, UTF-8, one line each:
//   ; comment
//   [Software\Varnatek\Lumora]          a key, by its path below HKEY_CURRENT_USER
//   "Flags"=dword:d1140040              REG_DWORD
//   "FontName"=sz:"David CLM"           REG_SZ holding exactly one NUL, at its end
//   "Bookmarks"=hex:05,00,00,00         REG_BINARY
//   "Odd"=hex(1):41,00,42               any other type or shape, byte for byte
// In names and texts \\ \" and \uXXXX (control characters, lone surrogates)
// are escaped; in key paths, where \ separates the keys, ^XXXX is used.
#include "platform/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/options.h"
#include "platform/registry_file.h"

namespace {

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::vector<uint8_t> data;
};

struct Key {
  std::u16string name;
  std::vector<std::unique_ptr<Key>> children;
  std::vector<Value> values;
};

struct Handle {
  Key* key;
  REGSAM access;
};

struct Registry {
  Key root;
  bool crashAfterTemporary = false;  // tests: leave as a killed process would
  std::string path;  // empty: kept in memory only
  bool pathChosen = false;
  bool loaded = false;
  std::map<uintptr_t, Handle> handles;
  uintptr_t nextHandle = 0x1000;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

Key* Child(Key* key, const std::u16string& name) {
  for (auto& child : key->children)
    if (SameName(child->name, name)) return child.get();
  return nullptr;
}

Value* FindValue(Key* key, const std::u16string& name) {
  for (Value& v : key->values)
    if (SameName(v.name, name)) return &v;
  return nullptr;
}

std::vector<std::u16string> SplitPath(LPCWSTR path) {
  std::vector<std::u16string> parts;
  if (path == nullptr) return parts;
  std::u16string part;
  for (const WCHAR* p = path;; ++p) {
    if (*p == u'\\' || *p == 0) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
      if (*p == 0) break;
    } else {
      part += *p;
    }
  }
  return parts;
}

// ---- text of the file ----

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | c >> 6);
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | c >> 12);
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | c >> 18);
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 to escaped UTF-8. `escape` is '\\' for quoted texts and '^' for
// key paths.
std::string Escape(const std::u16string& s, char escape) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00), &out);
      ++i;
      continue;
    }
    bool plainEscape = escape == '\\' && (c == u'\\' || c == u'"');
    if (plainEscape) {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F || high || low || c == static_cast<char16_t>(escape) ||
               (escape == '^' && c == u'\\')) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%c%s%04X", escape, escape == '\\' ? "u" : "", c);
      out += hex;
    } else {
      AppendUtf8(c, &out);
    }
  }
  return out;
}

// Reads one UTF-8 character; false on a malformed sequence.
bool ReadUtf8(const std::string& s, size_t* i, char32_t* c) {
  unsigned char b = static_cast<unsigned char>(s[*i]);
  int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || *i + extra >= s.size()) return false;
  char32_t v = extra == 0 ? b : b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char n = static_cast<unsigned char>(s[*i + k]);
    if ((n & 0xC0) != 0x80) return false;
    v = v << 6 | (n & 0x3F);
  }
  static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (v < kLeast[extra] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
  *i += 1 + extra;
  *c = v;
  return true;
}

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    *out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    *out += static_cast<char16_t>(0xD800 + (c >> 10));
    *out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

bool HexDigits(const std::string& s, size_t at, int count, unsigned* value) {
  if (at + count > s.size()) return false;
  unsigned v = 0;
  for (int k = 0; k < count; ++k) {
    char h = s[at + k];
    int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
    if (d < 0) return false;
    v = v << 4 | static_cast<unsigned>(d);
  }
  *value = v;
  return true;
}

// Reads escaped text from *i up to the unescaped `end` character (or the end
// of the line when `end` is 0); leaves *i past `end`.
bool Unescape(const std::string& s, size_t* i, char escape, char end, std::u16string* out) {
  while (*i < s.size()) {
    char c = s[*i];
    if (end != 0 && c == end) {
      ++*i;
      return true;
    }
    if (c == escape) {
      unsigned v;
      if (escape == '\\' && *i + 1 < s.size() && (s[*i + 1] == '\\' || s[*i + 1] == '"')) {
        *out += static_cast<char16_t>(s[*i + 1]);
        *i += 2;
      } else if (escape == '\\' && *i + 1 < s.size() && s[*i + 1] == 'u' && HexDigits(s, *i + 2, 4, &v)) {
        *out += static_cast<char16_t>(v);
        *i += 6;
      } else if (escape == '^' && HexDigits(s, *i + 1, 4, &v)) {
        *out += static_cast<char16_t>(v);
        *i += 5;
      } else {
        return false;
      }
      continue;
    }
    char32_t cp;
    if (!ReadUtf8(s, i, &cp)) return false;
    AppendUtf16(cp, out);
  }
  return end == 0;
}

bool IsPlainText(const std::vector<uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  size_t units = data.size() / 2;
  for (size_t k = 0; k < units; ++k) {
    char16_t u = static_cast<char16_t>(data[2 * k] | data[2 * k + 1] << 8);
    if ((u == 0) != (k == units - 1)) return false;
  }
  return true;
}

std::string HexBytes(const std::vector<uint8_t>& data) {
  std::string out;
  char hex[4];
  for (size_t k = 0; k < data.size(); ++k) {
    std::snprintf(hex, sizeof hex, k == 0 ? "%02x" : ",%02x", data[k]);
    out += hex;
  }
  return out;
}

void WriteKey(const Key& key, const std::string& path, std::string* out) {
  if (!path.empty()) {
    *out += "\n[" + path + "]\n";
    for (const Value& v : key.values) {
      *out += "\"" + Escape(v.name, '\\') + "\"=";
      if (v.type == REG_DWORD && v.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      static_cast<unsigned>(v.data[0] | v.data[1] << 8 | v.data[2] << 16) |
                          static_cast<unsigned>(v.data[3]) << 24);
        *out += number;
      } else if (v.type == REG_SZ && IsPlainText(v.data)) {
        std::u16string text;
        for (size_t k = 0; k + 2 < v.data.size(); k += 2)
          text += static_cast<char16_t>(v.data[k] | v.data[k + 1] << 8);
        *out += "sz:\"" + Escape(text, '\\') + "\"";
      } else if (v.type == REG_BINARY) {
        *out += "hex:" + HexBytes(v.data);
      } else {
        *out += "hex(" + std::to_string(v.type) + "):" + HexBytes(v.data);
      }
      *out += "\n";
    }
  }
  for (const auto& child : key.children)
    WriteKey(*child, path.empty() ? Escape(child->name, '^') : path + "\\" + Escape(child->name, '^'), out);
}

std::string Serialize(const Key& root) {
  std::string out = "; The registry of Lumora (HKEY_CURRENT_USER), rewritten by the program at every change.\n";
  WriteKey(root, "", &out);
  return out;
}

Key* MakePath(Key* from, const std::vector<std::u16string>& parts, bool* created) {
  Key* key = from;
  for (const std::u16string& part : parts) {
    Key* child = Child(key, part);
    if (child == nullptr) {
      key->children.push_back(std::make_unique<Key>());
      child = key->children.back().get();
      child->name = part;
      if (created) *created = true;
    }
    key = child;
  }
  return key;
}

bool ParseHexBytes(const std::string& s, size_t i, std::vector<uint8_t>* out) {
  while (i < s.size()) {
    unsigned v;
    if (!HexDigits(s, i, 2, &v)) return false;
    out->push_back(static_cast<uint8_t>(v));
    i += 2;
    if (i < s.size()) {
      if (s[i] != ',') return false;
      ++i;
      if (i == s.size()) return false;
    }
  }
  return true;
}

bool ParseValue(const std::string& line, Value* v) {
  size_t i = 1;
  if (!Unescape(line, &i, '\\', '"', &v->name)) return false;
  if (line.compare(i, 1, "=") != 0) return false;
  ++i;
  std::string rest = line.substr(i);
  if (rest.rfind("dword:", 0) == 0) {
    unsigned n;
    if (rest.size() != 14 || !HexDigits(rest, 6, 8, &n)) return false;
    v->type = REG_DWORD;
    v->data = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
               static_cast<uint8_t>(n >> 24)};
    return true;
  }
  if (rest.rfind("sz:\"", 0) == 0) {
    size_t k = 4;
    std::u16string text;
    if (!Unescape(rest, &k, '\\', '"', &text) || k != rest.size()) return false;
    v->type = REG_SZ;
    text += u'\0';
    for (char16_t u : text) {
      v->data.push_back(static_cast<uint8_t>(u));
      v->data.push_back(static_cast<uint8_t>(u >> 8));
    }
    return true;
  }
  if (rest.rfind("hex:", 0) == 0) {
    v->type = REG_BINARY;
    return ParseHexBytes(rest, 4, &v->data);
  }
  if (rest.rfind("hex(", 0) == 0) {
    size_t close = rest.find("):");
    if (close == std::string::npos || close == 4 || close > 14) return false;
    unsigned long type = 0;
    for (size_t k = 4; k < close; ++k) {
      if (rest[k] < '0' || rest[k] > '9') return false;
      type = type * 10 + static_cast<unsigned long>(rest[k] - '0');
    }
    if (type > 0xFFFFFFFFul) return false;
    v->type = static_cast<DWORD>(type);
    return ParseHexBytes(rest, close + 2, &v->data);
  }
  return false;
}

bool Parse(const std::string& text, Key* root, int* badLine) {
  Key* current = nullptr;
  size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    *badLine = number;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return false;
      std::string path = line.substr(1, line.size() - 2);
      std::vector<std::u16string> parts;
      size_t from = 0;
      for (;;) {
        size_t next = path.find('\\', from);
        std::string piece = path.substr(from, next == std::string::npos ? std::string::npos : next - from);
        std::u16string part;
        size_t k = 0;
        if (piece.empty() || !Unescape(piece, &k, '^', 0, &part)) return false;
        parts.push_back(part);
        if (next == std::string::npos) break;
        from = next + 1;
      }
      current = MakePath(root, parts, nullptr);
      continue;
    }
    if (line[0] != '"' || current == nullptr) return false;
    Value v;
    if (!ParseValue(line, &v)) return false;
    if (Value* old = FindValue(current, v.name)) *old = std::move(v);
    else current->values.push_back(std::move(v));
  }
  return true;
}

std::string DefaultPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/lumora/registry";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != 0) return std::string(home) + "/.config/lumora/registry";
  return "";
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty() || folder == "/" || folder == ".") return true;
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (!MakeFolders(Folder(folder))) return false;
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// The bad file is kept beside, under a name that no other file has.
void SetAside(const std::string& path) {
  std::string aside = path + ".bad";
  for (int n = 1; access(aside.c_str(), F_OK) == 0; ++n) aside = path + ".bad." + std::to_string(n);
  if (std::rename(path.c_str(), aside.c_str()) == 0)
    std::fprintf(stderr, "lumora: the registry %s could not be read; it is kept as %s and the registry starts empty\n",
                 path.c_str(), aside.c_str());
  else
    std::fprintf(stderr, "lumora: the registry %s could not be read; the registry starts empty\n", path.c_str());
}

void Load(Registry& r) {
  if (r.loaded) return;
  r.loaded = true;
  if (!r.pathChosen) {
    r.path = DefaultPath();
    r.pathChosen = true;
  }
  if (r.path.empty()) return;
  FILE* f = std::fopen(r.path.c_str(), "rb");
  if (f == nullptr) return;  // no file yet: an empty registry
  std::string text;
  char chunk[8192];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  bool readError = std::ferror(f) != 0;
  std::fclose(f);
  Key parsed;
  int badLine = 0;
  if (readError || !Parse(text, &parsed, &badLine)) {
    SetAside(r.path);
    return;
  }
  r.root = std::move(parsed);
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Temporary file in the same folder, fsync, rename over the old one, fsync
// of the folder: a reader sees the old file or the new one, never half.
bool Save(Registry& r) {
  if (r.path.empty()) return true;
  std::string folder = Folder(r.path);
  if (!MakeFolders(folder)) return false;
  std::string temp = r.path + ".tmp." + std::to_string(getpid());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, Serialize(r.root)) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (r.crashAfterTemporary) return false;
  if (!ok || std::rename(temp.c_str(), r.path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

Handle* Lookup(HKEY key) {
  Registry& r = TheRegistry();
  Load(r);
  static Handle root;
  if (key == HKEY_CURRENT_USER) {
    root = {&r.root, KEY_ALL_ACCESS};
    return &root;
  }
  auto it = r.handles.find(reinterpret_cast<uintptr_t>(key));
  return it == r.handles.end() ? nullptr : &it->second;
}

HKEY NewHandle(Key* key, REGSAM access) {
  Registry& r = TheRegistry();
  uintptr_t id = r.nextHandle;
  r.nextHandle += 0x10;
  r.handles[id] = {key, access};
  return reinterpret_cast<HKEY>(id);
}

std::u16string NameOf(LPCWSTR name) { return name == nullptr ? std::u16string() : std::u16string(name); }

}  // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Handle* h = Lookup(key);
  if (h == nullptr) return ERROR_INVALID_HANDLE;
  Key* k = h->key;
  for (const std::u16string& part : SplitPath(subKey)) {
    k = Child(k, part);
    if (k == nullptr) return ERROR_FILE_NOT_FOUND;
  }
  *result = NewHandle(k, access);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM access, void*, HKEY* result,
                     DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Handle* h = Lookup(key);
  if (h == nullptr) return ERROR_INVALID_HANDLE;
  bool created = false;
  Key* k = MakePath(h->key, SplitPath(subKey), &created);
  if (created) Save(TheRegistry());
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(k, access);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  return TheRegistry().handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  Handle* h = Lookup(key);
  if (h == nullptr) return ERROR_INVALID_HANDLE;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  Value* v = FindValue(h->key, NameOf(name));
  if (v == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->type;
  DWORD needed = static_cast<DWORD>(v->data.size());
  if (data == nullptr) {
    if (size) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(data, v->data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  Handle* h = Lookup(key);
  if (h == nullptr) return ERROR_INVALID_HANDLE;
  if ((h->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
  std::u16string n = NameOf(name);
  Value* v = FindValue(h->key, n);
  if (v == nullptr) {
    h->key->values.push_back(Value{n, REG_NONE, {}});
    v = &h->key->values.back();
  }
  v->type = type;
  v->data.assign(data, data + size);
  Save(TheRegistry());
  return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
  Handle* h = Lookup(key);
  if (h == nullptr) return ERROR_INVALID_HANDLE;
  if ((h->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  std::vector<Value>& values = h->key->values;
  for (size_t i = 0; i < values.size(); ++i) {
    if (SameName(values[i].name, NameOf(name))) {
      values.erase(values.begin() + static_cast<long>(i));
      Save(TheRegistry());
      return ERROR_SUCCESS;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

void PlatformUseRegistryFile(const std::string& path) {
  Registry& r = TheRegistry();
  r.root = Key();
  r.handles.clear();
  r.path = path;
  r.pathChosen = true;
  r.loaded = false;
}

std::string PlatformRegistryPath() {
  Registry& r = TheRegistry();
  return r.pathChosen ? r.path : DefaultPath();
}

bool ParseRegistryFile(const std::string& text, std::string* canonical) {
  Key root;
  int badLine = 0;
  if (!Parse(text, &root, &badLine)) return false;
  if (canonical) *canonical = Serialize(root);
  return true;
}

void TestRegistryStopBeforeRename(bool stop) { TheRegistry().crashAfterTemporary = stop; }
