// Ambrevin, the page image finder: one dialog, run until it closes.
#include "programs/ambrevin/AdvancedFinderDialog.h"

int main() {
    AdvancedFinderDialog dialog;
    dialog.DoModal();
    return 0;
}
