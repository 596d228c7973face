// Sollet's application: reads the command line and runs the main dialog; the program
// ends with the dialog.
#pragma once

#include <string>

#include "platform/text/Text.h"

// The start address the command line gave ("" for none). Process-wide; set by
// InitInstance before the dialog starts.
std::string& OneClickStartUrl();

class OneClickFinderApp {
public:
    // arguments: the command line without the program's own name.
    explicit OneClickFinderApp(StringArray arguments) : arguments_(std::move(arguments)) {}

    // Reads the start address, runs the main dialog modally until it ends; false (the
    // program then ends).
    bool InitInstance();

private:
    StringArray arguments_;
};
