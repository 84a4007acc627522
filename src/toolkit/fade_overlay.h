#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_window.h"

// Covers visible sibling controls with snapshots of themselves: one layered, non-activating
// popup of class "SfcFadeOverlay" per control. The owner steps the opacity to fade the old
// look out (or a new one in) while it rearranges the controls underneath.
class fade_overlay {
 public:
  fade_overlay() = default;
  ~fade_overlay() { clear(); }
  fade_overlay(const fade_overlay&) = delete;
  fade_overlay& operator=(const fade_overlay&) = delete;

  // Snapshots every visible control of the list and shows its cover at `opacity`; hidden
  // controls and those that cannot be captured are left uncovered. Returns how many are covered.
  size_t cover(const std::vector<HWND>& controls, BYTE opacity);
  void set_opacity(BYTE opacity);
  BYTE opacity() const { return opacity_; }
  // Destroys every cover.
  void clear();
  size_t size() const { return covers_.size(); }
  HWND cover_window(size_t index) const { return covers_[index]->hwnd(); }

 private:
  class cover_window_impl : public sfc_window {
   public:
    bool open(HWND control, BYTE opacity);
    void set_opacity(BYTE opacity) const;

   protected:
    bool on_message(sfc_msg& m) override;

   private:
    sfc_bitmap snapshot_;
  };
  std::vector<std::unique_ptr<cover_window_impl>> covers_;
  BYTE opacity_ = 255;
};
