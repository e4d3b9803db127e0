// Everything of the platform layer that the window folders use.
#pragma once

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/menu.h"
#include "platform/messages.h"
#include "platform/msgbox.h"
#include "platform/thread.h"
#include "platform/types.h"
#include "platform/wnd.h"
