// What the engine asks of the program that hosts it. Each program links its own definitions:
// the Windows program talks to its dialog, the command-line program to the terminal, and the
// tests to a recording fake. All are called from the estimation worker thread.
#pragma once

#include <cstdint>

#include "field_ids.h"

// Sets the text of dialog field `id`; returns once the host has shown it.
void hostSetFieldText(int id, const char* text);

// Shows a modal error message and returns once the user has dismissed it.
void hostShowError(const char* text, const char* caption);

// Tells the host that the run has ended (successfully or not); returns once the host has handled it.
void hostRunEnded();

// A free-running 32-bit millisecond count; only differences are meaningful.
std::uint32_t hostTickCount();
