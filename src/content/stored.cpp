#include "content/stored.h"

#include "platform/memory.h"
#include "platform/resource.h"

namespace {

unsigned Get16(const BYTE* p) { return static_cast<unsigned>(p[0]) << 8 | p[1]; }

void Fail(int* error, int code) {
  if (error) *error = code;
}

}  // namespace

BYTE* OpenContainer(const BYTE* resource, DWORD size, int* error) {
  // The size is checked against the header and against C, not only for
  // being non-zero: a short or damaged resource must not be read past its end.
  if (resource == nullptr || size < CONTAINER_HEADER) {
    Fail(error, STORE_BAD_HEADER);
    return nullptr;
  }
  unsigned length = Get16(resource);
  unsigned compressed = Get16(resource + 6);
  unsigned expanded = Get16(resource + 8);
  if (length < 5 || compressed == 0 || compressed > size - CONTAINER_HEADER) {
    Fail(error, STORE_BAD_HEADER);
    return nullptr;
  }
  return UnCompress(resource + CONTAINER_HEADER, compressed, expanded, error);
}

BYTE* FetchStored(int n, int* error) {
  if (n <= 0) return nullptr;
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW((1000 + n) & 0xFFFF), RT_RCDATA);
  if (found == nullptr) {
    Fail(error, STORE_NOT_FOUND);
    return nullptr;
  }
  DWORD size = SizeofResource(self, found);
  const BYTE* bytes = size != 0 ? static_cast<const BYTE*>(LoadResource(self, found)) : nullptr;
  if (bytes == nullptr) {
    Fail(error, STORE_NO_MEMORY);
    return nullptr;
  }
  return OpenContainer(bytes, size, error);
}

unsigned StoredLength(const BYTE* block) {
  size_t size = LocalSize(const_cast<BYTE*>(block));
  return size >= 2 ? static_cast<unsigned>(size - 2) : 0;
}
