#pragma once

// Runs a command of a window; an error it does not handle (a file, zlib or XML error, any other
// exception) ends it and is shown in the application's standard error box.

#include <functional>

class TPrompts;

void RunShowingErrors(TPrompts &prompts, const std::function<void()> &command);
