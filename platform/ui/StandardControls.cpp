// The platform's own window classes, registered when the first class is looked up.
#include "platform/ui/CommonControls.h"

void RegisterStandardWindowClasses() {
    // The common controls (list view, tab control, tree view, toolbar).
    RegisterCommonControlClasses();
}
