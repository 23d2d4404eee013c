// Everything the app may call on the platform.
#pragma once

#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "platform/types.h"
