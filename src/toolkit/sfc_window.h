#pragma once

#include <windows.h>

#include <string>

#include "toolkit/sfc_hwnd.h"
#include "toolkit/sfc_message.h"

// Class names the toolkit registers; any class whose name begins with "Sfc" is the toolkit's own.
extern const wchar_t sfc_window_class[];        // "SfcWindow"
extern const wchar_t sfc_fade_overlay_class[];  // "SfcFadeOverlay"

struct sfc_create_params {
  const wchar_t* class_name = sfc_window_class;  // a toolkit class, or a system class to subclass
  std::wstring text;
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD ex_style = 0;
  RECT rect = {};
  HWND parent = nullptr;
  int id = 0;  // child windows only
};

// Binds an object to a window and routes the window's messages to virtual handlers: each
// message goes to the hooks' `before`, then `on_message`, then (when not handled) the
// default procedure, then the hooks' `after`.
class sfc_window : public sfc_hwnd {
 public:
  sfc_window() = default;
  // Destroys a window this object created; a subclassed window must already be gone.
  ~sfc_window() override;
  sfc_window(const sfc_window&) = delete;
  sfc_window& operator=(const sfc_window&) = delete;

  // Creates the window bound to this object: toolkit classes through their creation
  // parameters, system classes by creating and then subclassing.
  virtual bool create(const sfc_create_params& params);
  // Binds to an existing window (this object must be unbound) and subclasses it.
  virtual bool attach(HWND hwnd);
  // Destroys the window only if this object created it.
  virtual void destroy();

  void add_hook(sfc_msg_hook* hook) { hooks_.add(hook); }
  void remove_hook(sfc_msg_hook* hook) { hooks_.remove(hook); }
  void set_reflection(bool on) { reflection_off_ = !on; }

  bool created() const { return created_; }
  bool subclassed() const { return subclassed_; }
  bool destroyed() const { return destroyed_; }
  // The record being handled, null outside a dispatch.
  const sfc_msg* current_message() const { return current_; }

  // The object bound to a window: a toolkit-class window or a window the toolkit subclassed.
  static sfc_window* from_handle(HWND hwnd);
  // Hands a control-colour, draw, measure or notify message to the object of the child that
  // caused it; true when that object handled it (its result is then in `m`).
  static bool reflect_to_child(sfc_msg& m);

 protected:
  // Called once the object is bound to its window.
  virtual void on_attached() {}
  virtual void on_parent_notify(sfc_msg& m) { (void)m; }
  // Answers whether the message was handled; the base marks destruction and reflects
  // child messages.
  virtual bool on_message(sfc_msg& m);
  // Installs the toolkit's subclass procedure, tells the hooks, then calls on_attached.
  virtual bool subclass();

  // What the window would have done without this object.
  LRESULT default_result(const sfc_msg& m) const;

 private:
  using sfc_hwnd::set_hwnd;  // the handle is bound by the window procedure only
  friend LRESULT CALLBACK sfc_window_proc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK sfc_subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  bool dispatch_reflected(sfc_msg& m);
  void unbind();

  sfc_hook_list hooks_;
  sfc_msg* current_ = nullptr;
  bool created_ = false;
  bool subclassed_ = false;
  bool destroyed_ = false;
  bool reflection_off_ = false;
};

// Registers a toolkit window class once per process (the window procedure is the toolkit's).
bool register_sfc_class(const wchar_t* name, UINT class_style, HBRUSH background);
