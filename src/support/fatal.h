#pragma once

// Ends the process at once: a broken invariant is not an input error.
[[noreturn]] void fatal(const char* operation);
