#pragma once

#include <cstdint>

#include "ui/run_view_cb.h"

// What the run's thread may do to the main window: look whether it still exists and post to it.
// Both calls come from the run's thread.
class run_post_cb {
 public:
  virtual ~run_post_cb() = default;
  virtual bool window_alive() = 0;
  // PostMessage(msg_run_event, event, serial); never a sent message.
  virtual void post_run_event(uintptr_t event, intptr_t serial) = 0;
};

enum run_event : uintptr_t {
  run_event_read_phase = 1,
  run_event_write_phase = 2,
  run_event_cancel_again = 3,  // a plain cancel ended the previous phase
};

// The runner's view of the window, from the run's thread: every change becomes a posted event
// tagged with the run's serial number, which the window hands to main_window_model::run_event.
class run_poster final : public run_view_cb {
 public:
  explicit run_poster(run_post_cb& window) : window_(window) {}
  // Before the run's thread starts.
  void set_serial(intptr_t serial) { serial_ = serial; }

  bool view_exists() override { return window_.window_alive(); }
  void cancel_available_again() override { window_.post_run_event(run_event_cancel_again, serial_); }
  void phase_started(bool read, uint32_t, const wchar_t*) override {
    window_.post_run_event(read ? run_event_read_phase : run_event_write_phase, serial_);
  }

 private:
  run_post_cb& window_;
  intptr_t serial_ = 0;
};
