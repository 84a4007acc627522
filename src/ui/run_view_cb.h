#pragma once

#include <cstdint>

// What a phase change shows in the window. Called on the runner thread, so an implementation
// posts to its window instead of touching it.
class run_view_cb {
 public:
  virtual ~run_view_cb() = default;
  // False once the window is gone; the run then stops at the next phase.
  virtual bool view_exists() = 0;
  // A plain cancel ended the previous phase: the Start button reads "Cancel" again, is
  // enabled, and gets the focus shortly.
  virtual void cancel_available_again() = 0;
  // The graph of the direction gets the planned count as its extent; the status line the text.
  virtual void phase_started(bool read, uint32_t planned_tests, const wchar_t* status) = 0;
};
