// The paragraph records of an article, and the one walk over them that
// every reader of articles uses.
//
// An article is a run of records: flags byte, parameter byte, text in
// BookCode up to a zero byte. A zero flags byte ends the article.
#pragma once

#include "platform/types.h"

// Flags byte of a paragraph record.
#define PF_RULE 0x07          // all three bits set: a horizontal rule
#define PF_SMALL 0x02
#define PF_LARGE 0x04
#define PF_BOLD 0x08
#define PF_RTL 0x10
#define PF_ALIGN 0x60
#define PF_ALIGN_RIGHT 0x20
#define PF_ALIGN_CENTER 0x40
#define PF_BLANK_AFTER 0x80
#define PF_STYLE_KEY 0x1F

// Parameter byte of a text paragraph.
#define PARAM_INDENT 0x3F
#define PARAM_HANG_SHIFT 6

// Flags of the title records.
#define TITLE_FIRST_FLAGS 0xDC
#define TITLE_SECOND_FLAGS 0xD1

typedef struct ParagraphRecord {
  WORD offset;      // of the flags byte
  BYTE flags;
  BYTE parameter;
  WORD textOffset;  // offset + 2
  WORD textLength;  // bytes before the text's zero byte
} ParagraphRecord;

#define IsRuleRecord(flags) (((flags) & PF_RULE) == PF_RULE)

// The length of the zero-terminated text at `from`, never reaching past
// `size`: a text without its zero byte inside the data ends at its end.
unsigned BoundedTextLength(const BYTE* data, unsigned size, unsigned from);

// Reads the record at *offset of an article whose data is `size` bytes long
// (D), fills *record, moves *offset to the next record and returns 1. Returns
// 0 at the end mark, and wherever a record would reach past the data: a
// flags byte without its parameter byte inside the data ends the article, and
// a text without its zero byte inside the data ends at the data's end. So no
// reader that walks with this ever looks at byte D or beyond.
int NextParagraph(const BYTE* article, unsigned size, unsigned* offset, ParagraphRecord* record);
