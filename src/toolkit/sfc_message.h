#pragma once

#include <windows.h>

#include <vector>

class sfc_hwnd;

// One message as the toolkit dispatches it; handlers set `result`.
struct sfc_msg {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  DWORD tick = 0;     // tick count at dispatch
  POINT cursor = {};  // cursor position of the last message read from the queue
  LRESULT result = 0;
};

// Messages reflected from a parent to the child control that caused them arrive at the child
// as the original message plus this base (the control-colour, draw, measure and notify messages).
constexpr UINT sfc_reflected = 0x2000;

// Watches the messages of one window or dialog; installed by whoever wants to see them.
class sfc_msg_hook {
 public:
  virtual ~sfc_msg_hook() = default;
  // The watched object has just been bound to its window.
  virtual void on_bound(sfc_hwnd& target) { (void)target; }
  // False stops the dispatch: `m.result` is answered and nothing else sees the message.
  virtual bool before(sfc_msg& m) {
    (void)m;
    return true;
  }
  virtual void after(sfc_msg& m) { (void)m; }
};

// The hooks of one window, called in the order they were added.
class sfc_hook_list {
 public:
  void add(sfc_msg_hook* hook);
  void remove(sfc_msg_hook* hook);
  void notify_bound(sfc_hwnd& target);
  bool before(sfc_msg& m);
  void after(sfc_msg& m);

 private:
  std::vector<sfc_msg_hook*> hooks_;
};

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: a control asks its parent for its colours.
inline bool is_control_colour_message(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

sfc_msg make_sfc_msg(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The child window that a control-colour, owner-draw, measure or notify message is about;
// null for other messages and for menu items.
HWND reflection_source(const sfc_msg& m);
