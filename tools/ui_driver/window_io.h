#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "key_names.h"

// A window that does not answer a message within this time counts as hung.
constexpr UINT message_timeout_ms = 5000;

// Sends a message and waits for the answer; false when the window is gone or hung.
bool ask_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result, std::string& error);

bool read_text(HWND window, std::wstring& text, std::string& error);
bool write_text(HWND window, const std::wstring& text, std::string& error);

// "visible|hidden enabled|disabled" then, for buttons, "checked|unchecked", then "focused" when it
// holds the keyboard focus of its thread.
std::vector<std::string> state_words(HWND window);
bool is_state_word(const std::string& word);

bool click_button(HWND button, std::string& error);
// A real mouse click at the button's centre with Ctrl held, as one piece of input: its window is
// brought to the front first, since keys go to the foreground window.
bool ctrl_click_button(HWND button, std::string& error);
// Makes a top-level window the foreground one and waits until its thread has taken that in.
bool bring_to_front(HWND window, std::string& error);
bool post_command(HWND window, int id, std::string& error);
bool type_characters(HWND window, const std::wstring& text, std::string& error);
// To the given control, or the window's focused control when `to` is null.
bool press_key(HWND window, HWND to, const key_info& key, std::string& error);
bool close_window(HWND window, std::string& error);

bool combo_items(HWND combo, std::vector<std::wstring>& items, std::string& error);
// Selects and tells the parent (CBN_SELCHANGE), as a choice with the mouse does.
bool combo_select(HWND combo, size_t index, std::string& error);
// The parent hears the drop-down list open (CBN_DROPDOWN), as a click on the box makes it.
bool combo_drop_down(HWND combo, std::string& error);
// Selects and tells the parent what a click on an item of the open list tells it: CBN_SELCHANGE,
// CBN_SELENDOK and CBN_CLOSEUP.
bool combo_confirm(HWND combo, size_t index, std::string& error);
