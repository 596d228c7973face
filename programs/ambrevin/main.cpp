// Ambrevin, the page image finder: one dialog, run until it closes. With a display the
// dialog shows on the screen; without one it runs headless.
#include "platform/ui/screen/Screen.h"
#include "programs/ambrevin/AdvancedFinderDialog.h"

int main() {
    StartScreen();
    AdvancedFinderDialog dialog;
    dialog.DoModal();
    return 0;
}
