// Tallowmere: finds the MP3 files of the web sites it lists. With a display its window
// shows under GTK; without one (or with MORVELLE_HEADLESS=1) it runs headless.
#include "platform/ui/screen/Screen.h"
#include "programs/tallowmere/Mp3FinderApp.h"

int main() {
    StartScreen();
    Mp3FinderApp app;
    app.InitInstance();
    return 0;
}
