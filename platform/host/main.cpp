// morvelle-browser [URL] [--band NAME]: the web browser that hosts the bands. NAME is a
// registered vertical band's title or CLSID; with no URL a blank page opens.
#include <cstdio>

#include "platform/com/ComLibrary.h"
#include "platform/host/BrowserHost.h"
#include "platform/ui/screen/Screen.h"

int main(int argc, char** argv) {
    BrowserCommandLine line;
    std::string error;
    if (!ParseBrowserCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "morvelle-browser: %s\nusage: morvelle-browser [URL] [--band NAME]\n",
                     error.c_str());
        return 2;
    }
    if (!StartScreen()) {
        std::fprintf(stderr,
                     "morvelle-browser: there is no display (DISPLAY or WAYLAND_DISPLAY, "
                     "and MORVELLE_HEADLESS not 1)\n");
        return 1;
    }
    CoInitialize(nullptr);
    int code = 1;
    {
        BrowserHost host;
        host.SetQuitOnClose(true);
        if (!host.Create(line.url)) {
            std::fprintf(stderr, "morvelle-browser: the window cannot be made\n");
        } else {
            if (!line.band.empty() && !host.OpenBand(line.band))
                std::fprintf(stderr, "morvelle-browser: no band \"%s\" can be opened\n",
                             line.band.c_str());
            code = RunMessageLoop();
        }
    }
    CoUninitialize();
    return code;
}
