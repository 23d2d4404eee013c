// FindResourceW and friends over the resource pack in use: the embedded one
// unless an option or a test named another.
#include <cstdio>
#include <map>
#include <memory>

#include "platform/options.h"
#include "platform/resource.h"
#include "platform/resource_pack.h"
#include "platform/testing.h"

struct HRSRC__ {
  const uint8_t* bytes;
  uint32_t size;
};

struct HINSTANCE__ {
  int unused;
};

// A program without a book (the build tools) has no pack; the generated pack
// source of the program overrides this.
extern "C" __attribute__((weak)) const uint8_t* EmbeddedResourcePack(size_t* size) {
  *size = 0;
  return nullptr;
}

namespace {

HINSTANCE__ g_module;

struct Store {
  std::vector<uint8_t> owned;  // empty for the embedded pack
  PackView view;
  bool open = false;
  std::map<uint32_t, HRSRC__> found;  // stable addresses for HRSRC handles
};

Store& TheStore() {
  static Store store;
  if (!store.open) {
    size_t size = 0;
    const uint8_t* data = EmbeddedResourcePack(&size);
    std::string error;
    // A program without a pack, or with a damaged one, finds no resources.
    store.open = OpenResourcePack(data, size, &store.view, &error);
    if (!store.open) store.view = PackView{};
    store.open = true;
  }
  return store;
}

bool UsePack(std::vector<uint8_t> bytes, std::string* error) {
  PackView view;
  if (!OpenResourcePack(bytes.data(), bytes.size(), &view, error)) return false;
  Store& store = TheStore();
  store.owned = std::move(bytes);  // moving a vector keeps its data pointer
  store.view = view;
  store.found.clear();
  return true;
}

bool OurModule(HMODULE module) { return module == nullptr || module == &g_module; }

}  // namespace

bool PlatformUseResourcePackFile(const std::string& path, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *error = "cannot open " + path;
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) {
    *error = "cannot read " + path;
    return false;
  }
  if (!UsePack(std::move(bytes), error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

bool PlatformUseResourcePack(const std::vector<uint8_t>& pack, std::string* error) {
  return UsePack(pack, error);
}

void PlatformUseEmbeddedResources() {
  Store& store = TheStore();
  store.open = false;
  store.owned.clear();
  store.found.clear();
  TheStore();
}

bool TestUseResources(std::vector<PackResource> resources) {
  std::vector<uint8_t> pack;
  std::string error;
  return BuildResourcePack(std::move(resources), &pack, &error) && UsePack(std::move(pack), &error);
}

HMODULE GetModuleHandleW(LPCWSTR name) { return name == nullptr ? &g_module : nullptr; }

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  if (!OurModule(module) || !IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) return nullptr;
  uint16_t id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
  uint16_t kind = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(type));
  Store& store = TheStore();
  uint32_t key = static_cast<uint32_t>(kind) << 16 | id;
  auto it = store.found.find(key);
  if (it != store.found.end()) return &it->second;
  HRSRC__ r{};
  if (!FindPackResource(store.view, kind, id, &r.bytes, &r.size)) return nullptr;
  return &store.found.emplace(key, r).first->second;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  return OurModule(module) && resource != nullptr ? resource->size : 0;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  if (!OurModule(module) || resource == nullptr) return nullptr;
  return const_cast<uint8_t*>(resource->bytes);
}

void* LockResource(HGLOBAL loaded) { return loaded; }
