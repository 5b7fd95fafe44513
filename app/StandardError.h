#pragma once

// Messages of the command-line modes go to standard error, where a support
// script reads them; a program without one writes nothing.
void WriteToStandardError(const char* text);
