// The root of everything that can listen to a job or a browser.
#pragma once

#include "platform/base/CObject.h"
#include "platform/base/Types.h"

class MessageListener : public CObject {
public:
    // Called by a broadcast of a listener list this object is in, on the broadcasting
    // thread, without the broadcast holding the process lock (a caller of the broadcast
    // may hold it). The root does nothing.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        (void)message;
        (void)wParam;
        (void)lParam;
    }
};
