// The running system and module: where the program lives, which platform it is.
#pragma once

#include <string>

// Always false: no system this runs on is of that old family.
bool IsWindows9x();

// The path of the running module (the file layer's module path, a system path). With
// withFileName false only its folder, up to and including the last "\" (or, in a path
// without one, the last "/"); "" when the path holds neither.
std::string GetModulePath(bool withFileName);
// The same for the application's own program, which here is the running module.
std::string GetAppModulePath(bool withFileName);
