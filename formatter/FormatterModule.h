// Corvane's module: the count of its live objects and server locks, which decides
// whether the module may be unloaded (DllCanUnloadNow). Safe on any thread.
#pragma once

#include "platform/base/Types.h"

void LockFormatterModule();
void UnlockFormatterModule();
LONG FormatterModuleLockCount();
