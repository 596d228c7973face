#include "engine/model/LoaderMessage.h"

#include "platform/trace/Trace.h"
#include "platform/ui/MessageBox.h"

void ShowLoaderMessage(const char* text) {
    Trace("model", "%s", text);
    MessageBox(nullptr, text, "", MB_OK);
}
