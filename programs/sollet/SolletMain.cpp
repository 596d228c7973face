// Sollet: the one-click image finder. "sollet -httpvrl <address>" searches that site.
// With a display its windows show on the screen; without one it runs headless.
#include "platform/text/Text.h"
#include "platform/ui/screen/Screen.h"
#include "programs/sollet/OneClickFinderApp.h"

int main(int argc, char** argv) {
    StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    StartScreen();
    OneClickFinderApp application(std::move(arguments));
    application.InitInstance();
    return 0;
}
