#include "engine/browser/UiThreadCallback.h"

bool UiThreadCallback::OnThreadReady(UiThread*) {
    return false;
}

void UiThreadCallback::OnThreadEnded(UiThread*) {}
