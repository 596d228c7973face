#include "engine/util/AppMutex.h"

#include "engine/util/Guids.h"

AppMutex* CreateAppMutex() {
    // Never destroyed: the lock outlives every thread that may take it.
    static auto* mutex = new AppMutex(NewGuidName());
    return mutex;
}
