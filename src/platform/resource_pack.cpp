#include "platform/resource_pack.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'L', 'M', 'R', 'P'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeader = 12;
constexpr size_t kEntry = 12;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t KeyOf(uint16_t type, uint16_t id) { return static_cast<uint32_t>(type) << 16 | id; }

}  // namespace

bool BuildResourcePack(std::vector<PackResource> resources, std::vector<uint8_t>* pack,
                       std::string* error) {
  std::sort(resources.begin(), resources.end(), [](const PackResource& a, const PackResource& b) {
    return KeyOf(a.type, a.id) < KeyOf(b.type, b.id);
  });
  for (size_t i = 1; i < resources.size(); ++i) {
    if (KeyOf(resources[i - 1].type, resources[i - 1].id) ==
        KeyOf(resources[i].type, resources[i].id)) {
      *error = "two resources of type " + std::to_string(resources[i].type) + " with id " +
               std::to_string(resources[i].id);
      return false;
    }
  }
  uint64_t total = kHeader + kEntry * resources.size();
  for (const PackResource& r : resources) total += r.bytes.size();
  if (total > UINT32_MAX) {
    *error = "the resources do not fit a pack";
    return false;
  }
  pack->assign(static_cast<size_t>(total), 0);
  uint8_t* out = pack->data();
  std::memcpy(out, kMagic, 4);
  Put32(out + 4, kVersion);
  Put32(out + 8, static_cast<uint32_t>(resources.size()));
  uint32_t offset = static_cast<uint32_t>(kHeader + kEntry * resources.size());
  for (size_t i = 0; i < resources.size(); ++i) {
    const PackResource& r = resources[i];
    uint8_t* e = out + kHeader + kEntry * i;
    Put16(e, r.type);
    Put16(e + 2, r.id);
    Put32(e + 4, offset);
    Put32(e + 8, static_cast<uint32_t>(r.bytes.size()));
    if (!r.bytes.empty()) std::memcpy(out + offset, r.bytes.data(), r.bytes.size());
    offset += static_cast<uint32_t>(r.bytes.size());
  }
  return true;
}

bool OpenResourcePack(const uint8_t* data, size_t size, PackView* view, std::string* error) {
  if (data == nullptr || size < kHeader || std::memcmp(data, kMagic, 4) != 0) {
    *error = "not a resource pack";
    return false;
  }
  if (Get32(data + 4) != kVersion) {
    *error = "resource pack version " + std::to_string(Get32(data + 4)) + " is not 1";
    return false;
  }
  uint32_t count = Get32(data + 8);
  if (count > (size - kHeader) / kEntry) {
    *error = "resource pack directory runs past its end";
    return false;
  }
  uint32_t previous = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = data + kHeader + kEntry * i;
    uint32_t key = KeyOf(Get16(e), Get16(e + 2));
    uint64_t offset = Get32(e + 4), length = Get32(e + 8);
    if (i > 0 && key <= previous) {
      *error = "resource pack directory is not sorted";
      return false;
    }
    if (offset + length > size) {
      *error = "resource " + std::to_string(Get16(e + 2)) + " runs past the end of the pack";
      return false;
    }
    previous = key;
  }
  view->data = data;
  view->size = size;
  view->count = count;
  return true;
}

bool FindPackResource(const PackView& view, uint16_t type, uint16_t id, const uint8_t** bytes,
                      uint32_t* size) {
  uint32_t want = KeyOf(type, id);
  uint32_t lo = 0, hi = view.count;
  while (lo < hi) {
    uint32_t mid = lo + (hi - lo) / 2;
    const uint8_t* e = view.data + kHeader + kEntry * mid;
    uint32_t key = KeyOf(Get16(e), Get16(e + 2));
    if (key == want) {
      *bytes = view.data + Get32(e + 4);
      *size = Get32(e + 8);
      return true;
    }
    if (key < want) lo = mid + 1;
    else hi = mid;
  }
  return false;
}

std::vector<PackResource> ListPackResources(const PackView& view) {
  std::vector<PackResource> out(view.count);
  for (uint32_t i = 0; i < view.count; ++i) {
    const uint8_t* e = view.data + kHeader + kEntry * i;
    out[i].type = Get16(e);
    out[i].id = Get16(e + 2);
    const uint8_t* p = view.data + Get32(e + 4);
    out[i].bytes.assign(p, p + Get32(e + 8));
  }
  return out;
}
