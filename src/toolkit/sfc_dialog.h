#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/dialog_template.h"
#include "toolkit/sfc_hwnd.h"
#include "toolkit/sfc_message.h"

// A modal dialog run from a template, with handlers for the usual dialog events. The object
// lives on the stack of the code that runs it; its window must be gone before it is.
class sfc_dialog : public sfc_hwnd {
 public:
  sfc_dialog() = default;
  ~sfc_dialog() override;
  sfc_dialog(const sfc_dialog&) = delete;
  sfc_dialog& operator=(const sfc_dialog&) = delete;

  // Runs the dialog template `template_id` of `module` (the program when null). Returns the
  // value passed to end(), or -1 when the template cannot be loaded.
  INT_PTR run_modal(int template_id, HWND owner, HMODULE module = nullptr);
  // Runs an in-memory template the same way.
  INT_PTR run_modal(const std::vector<uint8_t>& dialog_template, HWND owner);

  // The font every dialog is shown with, on by default: an empty face means the system's
  // message font at its own size.
  void set_font_override(const std::wstring& face, uint16_t points);
  void disable_font_override() { font_override_ = false; }
  // The face and size the next run will use; false when the override is off.
  bool override_font(dialog_font_spec& font) const;

  void end(INT_PTR result) const { EndDialog(hwnd_, result); }
  void add_hook(sfc_msg_hook* hook) { hooks_.add(hook); }
  void remove_hook(sfc_msg_hook* hook) { hooks_.remove(hook); }
  bool destroyed() const { return destroyed_; }
  const sfc_msg* current_message() const { return current_; }

 protected:
  // True lets the system put the focus on the first control.
  virtual bool on_init() { return true; }
  virtual void on_destroy() {}
  virtual void on_ok() { end(IDOK); }
  virtual void on_cancel() { end(IDCANCEL); }
  virtual void on_command(int id, int code, HWND control) { (void)id, (void)code, (void)control; }
  virtual void on_timer(UINT_PTR id) { (void)id; }
  // Answers whether the message was handled; the base routes destruction, commands, timers
  // and the child messages that are reflected.
  virtual bool on_message(sfc_msg& m);

 private:
  using sfc_hwnd::set_hwnd;  // the handle is bound by the window procedure only
  friend INT_PTR CALLBACK sfc_dialog_proc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR run_template(const uint8_t* data, size_t size, HWND owner, HMODULE module);
  INT_PTR route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  sfc_hook_list hooks_;
  sfc_msg* current_ = nullptr;
  std::wstring font_face_;
  uint16_t font_points_ = 0;
  bool font_override_ = true;
  bool destroyed_ = false;
};
