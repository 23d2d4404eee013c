// IndexEntry streams: the stored index and the bookmark group share this
// record format and this walk.
//
// A record is: 16-bit id (low byte first), flags, level, text in BookCode up
// to a zero byte. A flags byte of 0 ends the stream.
#pragma once

#include "platform/types.h"

#define IE_GROUP_ID 0x8000
#define IE_ARTICLE_ID 0x4000
#define IE_NUMBER 0x3FFF

#define IE_SHOWN 0x80
#define IE_EXPANDED 0x40
#define IE_BOLD 0x08
#define IE_LARGE 0x04
#define IE_SMALL 0x02
#define IE_STYLE_KEY 0x1F

#define ENTRY_HEADER 4
#define ENTRY_END_MARK 5

typedef struct IndexEntry {
  WORD offset;  // of the id
  WORD id;
  BYTE flags;
  BYTE level;
  WORD textOffset;  // offset + 4
  WORD textLength;  // bytes before the text's zero byte
} IndexEntry;

// Reads the record at *offset of a stream of `size` bytes, fills *entry,
// moves *offset to the next record and returns 1; returns 0 at the end mark,
// and where a record's header would reach past the stream. A text without
// its zero byte inside the stream ends at the stream's end.
int NextIndexEntry(const BYTE* stream, unsigned size, unsigned* offset, IndexEntry* entry);
