// Client text on its way into a page (valid UTF-8, markup escaped) or into a reply or a log line
// (printable ASCII).
#pragma once
#include <string>
#include <string_view>

// Replaces every byte sequence that is not well-formed UTF-8 (including the three-byte forms
// of lone surrogates that the Windows client writes for UTF-16 it cannot pair) with U+FFFD.
std::string valid_utf8(std::string_view text);

// valid_utf8, then & < > " ' as character references; control characters other than tab,
// CR and LF become U+FFFD.
std::string html_escape(std::string_view text);

// Printable ASCII kept except " and \, every other byte as \xNN; cut after `limit` bytes
// with "..." added.
std::string printable_ascii(std::string_view text, size_t limit);
