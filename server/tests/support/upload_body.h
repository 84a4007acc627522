// Upload bodies laid out byte by byte as the FOLVI client sends them: every part opens with
// "--i-will-not-crash" CR LF and closes with CR LF "--i-will-not-crash" CR LF, so two boundary
// lines stand together between parts, and there is no closing "--" delimiter.
#pragma once
#include <string>
#include <vector>

struct body_part {
  std::string name;
  std::string value;
  std::string file_name;  // empty: a text field
};

std::string client_layout_body(const std::vector<body_part>& parts);
std::string upload_body(const std::string& type, const std::string& package);

// The same parts as a standard form body (one boundary between parts, closing delimiter).
std::string standard_layout_body(const std::vector<body_part>& parts);

// A whole POST /upload request around a body.
std::string upload_request(const std::string& body, const std::string& extra_headers = "");
