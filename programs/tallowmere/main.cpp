// Tallowmere: finds the MP3 files of the web sites it lists.
#include "programs/tallowmere/Mp3FinderApp.h"

int main() {
    Mp3FinderApp app;
    app.InitInstance();
    return 0;
}
