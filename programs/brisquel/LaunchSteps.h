// The launcher's steps, shared by Brisquel and by Sollet when it starts without an
// address: the "show" setting written, an empty probe page made, and the program that
// opens such pages (the user's web browser) started.
#pragma once

// The key and value the launcher writes, and its probe page.
inline constexpr const char* kLauncherKey = "Software\\Morvelle\\Brisquel";
inline constexpr const char* kLauncherValue = "show";
inline constexpr const char* kLauncherProbeFile = "c:\\_test.html";

// Writes "show" = "true" (REG_SZ, 4 bytes, no NUL) under HKEY_CURRENT_USER's launcher
// key, makes the empty probe page "c:\_test.html" (replacing one that is there), asks
// the shell which program opens it and starts that program without arguments. No step
// stops the next: a missing browser leaves the value and the page written. Runs on the
// calling thread; starting never waits for the browser.
void RunLaunchSteps();
