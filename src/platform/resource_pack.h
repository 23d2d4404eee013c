// The resource pack: the numbered resources of the program in one block of
// bytes, embedded in the executable or read from a file. Written by the
// build tools, read by the resource calls.
//
//   offset 0   "LMRP"                       magic
//          4   u32 version (1)
//          8   u32 count
//         12   count entries of 12 bytes:   u16 type, u16 id, u32 offset, u32 size
//              entries sorted by (type, id), no two alike
//          …   resource bytes, each at its offset from the start of the pack
//
// All numbers little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PackResource {
  uint16_t type = 0;
  uint16_t id = 0;
  std::vector<uint8_t> bytes;
};

// A checked view over pack bytes that someone else keeps alive.
struct PackView {
  const uint8_t* data = nullptr;
  size_t size = 0;
  uint32_t count = 0;
};

// Sorts the resources; duplicates of one (type, id) are an error.
bool BuildResourcePack(std::vector<PackResource> resources, std::vector<uint8_t>* pack,
                       std::string* error);

// Checks every entry before anything is trusted: bounds, order, duplicates.
bool OpenResourcePack(const uint8_t* data, size_t size, PackView* view, std::string* error);

// The bytes of one resource of an opened pack, or false.
bool FindPackResource(const PackView& view, uint16_t type, uint16_t id, const uint8_t** bytes,
                      uint32_t* size);

// Every resource of an opened pack, in pack order.
std::vector<PackResource> ListPackResources(const PackView& view);

// Defined by the generated source that embeds the build's pack.
extern "C" const uint8_t* EmbeddedResourcePack(size_t* size);
