// The stored book: articles and the index as numbered resources, each in a
// small container around a compressed stream.
#pragma once

#include "content/decompress.h"
#include "platform/types.h"

// Resource number of the index: FetchStored(INDEX_NUMBER) gives resource 32767.
#define INDEX_NUMBER 31767
#define FIRST_ARTICLE 1
#define LAST_ARTICLE 220
#define CONTAINER_HEADER 10

// Fetches and expands stored item n (an ArticleNumber, or INDEX_NUMBER):
// resource (1000 + n) & 0xFFFF of the raw-data type. Returns a new block of
// D + 2 bytes that the caller frees with LocalFree, or nothing with a
// failure code in *error. n <= 0 gives nothing and looks nothing up.
BYTE* FetchStored(int n, int* error);

// Checks a container of `size` bytes and expands its stream, as FetchStored
// does once it holds the resource's bytes.
BYTE* OpenContainer(const BYTE* resource, DWORD size, int* error);

// The number of data bytes (D) of a block that FetchStored or UnCompress returned.
unsigned StoredLength(const BYTE* block);
