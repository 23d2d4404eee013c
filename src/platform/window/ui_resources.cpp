#include "platform/window/ui_resources.h"

#include <cstring>

namespace {

constexpr char kAccelMagic[4] = {'L', 'M', 'A', 'C'};
constexpr char kIconMagic[4] = {'L', 'M', 'I', 'C'};
constexpr uint16_t kAccelFlags = 0x01 | 0x04 | 0x08 | 0x10;  // FVIRTKEY FSHIFT FCONTROL FALT

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(Get16(p)) | static_cast<uint32_t>(Get16(p + 2)) << 16;
}
void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

}  // namespace

bool EncodeAcceleratorTable(const std::vector<AcceleratorEntry>& entries, std::vector<uint8_t>* out,
                            std::string* error) {
  if (entries.empty() || entries.size() > static_cast<size_t>(kAcceleratorMaxEntries))
    return Fail(error, "an accelerator table holds 1 to " + std::to_string(kAcceleratorMaxEntries) +
                           " entries, not " + std::to_string(entries.size()));
  for (const AcceleratorEntry& e : entries)
    if (e.flags & ~kAccelFlags) return Fail(error, "accelerator flags " + std::to_string(e.flags) + " are unknown");
  out->assign(kAccelMagic, kAccelMagic + 4);
  Put16(out, static_cast<uint32_t>(entries.size()));
  for (const AcceleratorEntry& e : entries) {
    Put16(out, e.flags);
    Put16(out, e.key);
    Put16(out, e.command);
  }
  return true;
}

bool DecodeAcceleratorTable(const uint8_t* data, size_t size, std::vector<AcceleratorEntry>* entries,
                            std::string* error) {
  if (data == nullptr || size < 6 || std::memcmp(data, kAccelMagic, 4) != 0)
    return Fail(error, "not an accelerator table");
  size_t count = Get16(data + 4);
  if (count == 0 || count > static_cast<size_t>(kAcceleratorMaxEntries))
    return Fail(error, "accelerator table of " + std::to_string(count) + " entries");
  if (size != 6 + 6 * count) return Fail(error, "accelerator table size does not match its count");
  entries->clear();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = data + 6 + 6 * i;
    AcceleratorEntry e{Get16(p), Get16(p + 2), Get16(p + 4)};
    if (e.flags & ~kAccelFlags) return Fail(error, "accelerator flags " + std::to_string(e.flags) + " are unknown");
    entries->push_back(e);
  }
  return true;
}

bool EncodeStringResource(const std::u16string& text, std::vector<uint8_t>* out, std::string* error) {
  if (text.size() > static_cast<size_t>(kStringMaxLength))
    return Fail(error, "a string of " + std::to_string(text.size()) + " units is too long");
  out->clear();
  for (char16_t u : text) Put16(out, u);
  return true;
}

bool DecodeStringResource(const uint8_t* data, size_t size, std::u16string* text, std::string* error) {
  if (size % 2 != 0 || size / 2 > static_cast<size_t>(kStringMaxLength) || (data == nullptr && size != 0))
    return Fail(error, "a string resource holds whole UTF-16 units, at most " + std::to_string(kStringMaxLength));
  text->clear();
  for (size_t i = 0; i < size; i += 2) text->push_back(static_cast<char16_t>(Get16(data + i)));
  return true;
}

bool EncodeIconResource(const IconImage& icon, std::vector<uint8_t>* out, std::string* error) {
  if (icon.width < 1 || icon.height < 1 || icon.width > kIconMaxSide || icon.height > kIconMaxSide)
    return Fail(error, "icon size " + std::to_string(icon.width) + " x " + std::to_string(icon.height) +
                           " is outside 1 to " + std::to_string(kIconMaxSide));
  if (icon.pixels.size() != static_cast<size_t>(icon.width) * icon.height)
    return Fail(error, "icon has " + std::to_string(icon.pixels.size()) + " pixels, not width x height");
  out->assign(kIconMagic, kIconMagic + 4);
  Put16(out, static_cast<uint32_t>(icon.width));
  Put16(out, static_cast<uint32_t>(icon.height));
  for (uint32_t p : icon.pixels) Put32(out, p);
  return true;
}

bool DecodeIconResource(const uint8_t* data, size_t size, IconImage* icon, std::string* error) {
  if (data == nullptr || size < 8 || std::memcmp(data, kIconMagic, 4) != 0) return Fail(error, "not an icon");
  int width = Get16(data + 4), height = Get16(data + 6);
  if (width < 1 || height < 1 || width > kIconMaxSide || height > kIconMaxSide)
    return Fail(error, "icon size " + std::to_string(width) + " x " + std::to_string(height) + " is outside 1 to " +
                           std::to_string(kIconMaxSide));
  if (size != 8 + 4 * static_cast<size_t>(width) * height) return Fail(error, "icon size does not match its pixels");
  icon->width = width;
  icon->height = height;
  icon->pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < icon->pixels.size(); ++i) icon->pixels[i] = Get32(data + 8 + 4 * i);
  return true;
}
