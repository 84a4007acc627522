// The site's fixed pages and the frame every page shares.
#pragma once
#include <string>
#include <string_view>

// A whole HTML document: the title (escaped here) and the body markup (already safe).
std::string page_frame(std::string_view title, std::string_view body_html);

std::string homepage_html();
std::string methodology_html();
std::string not_found_html();
std::string error_html(int status, std::string_view reason);
extern const char style_css[];

// Sent with every reply: the pages need nothing but their own images and stylesheet.
extern const char content_security_policy[];
