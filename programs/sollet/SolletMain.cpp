// Sollet: the one-click image finder. "sollet -httpvrl <address>" searches that site.
#include "platform/text/Text.h"
#include "programs/sollet/OneClickFinderApp.h"

int main(int argc, char** argv) {
    StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    OneClickFinderApp application(std::move(arguments));
    application.InitInstance();
    return 0;
}
