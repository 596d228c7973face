// Brisquel: writes the "show" setting, opens the user's web browser and ends.
#include <cstdlib>

#include "programs/brisquel/BrisquelDialog.h"

int main() {
    BrisquelDialog dialog([](int code) { std::_Exit(code); });
    dialog.DoModal();
    return 0;
}
