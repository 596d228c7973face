// Reading pages back for the formatter tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

// The bytes of a file, or "<missing>" when it cannot be read.
inline std::string FileText(const std::string& path) {
    std::string text;
    return ReadFileBytes(path, &text) ? text : std::string("<missing>");
}

// The bytes of a golden page under tests/fixtures/formatter.
inline std::string GoldenPage(const std::string& name) {
    return FileText(FixturePath("formatter/" + name));
}
