#pragma once

#include <string>

#include "storage/device_api.h"

// Device properties as the enumerations read them.

// A string registry property (SPDRP_*) of an enumerated interface's device, up to its first NUL.
bool interface_registry_text(device_api& api, api_handle set, DWORD index, DWORD property, std::wstring& text);
// Instance IDs are compared in lower case.
std::wstring lower_text(std::wstring text);
