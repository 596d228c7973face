// Every test program runs in a home of its own: a fresh temporary folder holds the
// base data folder and the configuration folder (registry store) of the process, so
// test programs that ctest runs side by side never share a file.
#pragma once

#include <string>

// The temporary folder of this test process (a Linux path, no trailing "/").
const std::string& TestHomeFolder();

// A fresh, empty folder under the test home, as a Linux path.
std::string MakeTestFolder(const std::string& hint);

// Reads a fixture file under tests/fixtures (a path relative to that folder).
std::string FixturePath(const std::string& relative);
