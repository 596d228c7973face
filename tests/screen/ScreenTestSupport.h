// What the screen tests share: the screen started once for the test program (the tests
// skip without a display), and where screenshots go.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/screen/Screen.h"

// Starts the screen once; false without a display.
inline bool ScreenForTests() {
    static const bool started = StartScreen();
    return started;
}

// The PNG file a test's screenshot is saved as, under the build folder.
std::string ScreenshotPath(const std::string& name);

#define SKIP_WITHOUT_SCREEN()                                    \
    do {                                                         \
        if (!ScreenForTests())                                   \
            GTEST_SKIP() << "no display: run under xvfb-run -a"; \
    } while (false)
