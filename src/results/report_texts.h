#pragma once

// Fixed lines of the test report; servers parse reports by these texts.
extern const char report_box_rule[];
extern const char report_box_blank[];
extern const char report_box_title[];  // followed by the program version
extern const char report_read_heading[];
extern const char report_write_heading[];
extern const char report_separator[];  // between two joined reports

constexpr unsigned report_key_width = 30;
constexpr unsigned report_box_title_width = 35;  // before the closing bar
