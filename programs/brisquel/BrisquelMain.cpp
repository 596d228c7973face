// Brisquel: writes the "show" setting, opens the user's web browser and ends. With a
// display its dialog is made on the screen (and ends before it shows); without one it
// runs headless.
#include <cstdlib>

#include "platform/ui/screen/Screen.h"
#include "programs/brisquel/BrisquelDialog.h"

int main() {
    StartScreen();
    BrisquelDialog dialog([](int code) { std::_Exit(code); });
    dialog.DoModal();
    return 0;
}
