// Named trace channels. A failure dropped at an edge (a job step, a browser handler,
// a component call) leaves one line on its channel; channels are switched on by name
// in the environment variable MORVELLE_TRACE ("jobs,browser", or "all").
#pragma once

#include <string_view>

bool TraceEnabled(std::string_view channel);

// Writes "[channel] text" to standard error when the channel is on. Safe on any thread.
void Trace(std::string_view channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Switches channels for the rest of the process (tests); the same syntax as the variable.
void SetTraceChannels(std::string_view channels);
