#pragma once

#include <cstdint>
#include <string>

class app_context;

// The program's message box, owned by the main window while it is open; "FOLVI Vezad" when no
// caption is given. `flags` are the toolkit's mb_ flags; answers the id of the button pressed.
int app_message_box(const app_context& app, const std::wstring& text, uint32_t flags, const wchar_t* caption = nullptr);
