// Everything the app may call on the platform.
#pragma once

#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/memory.h"
#include "platform/menus.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "platform/shellapi.h"
#include "platform/types.h"
#include "platform/user.h"
