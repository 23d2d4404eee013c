#include "view/font_choice.h"

// Zero until the settings are loaded, as every program-wide setting is.
struct FontSpec FontSpec;
DWORD Flags;

static_assert(sizeof(struct FontSpec) == 72, "the persisted record is 72 bytes");
