#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Texts of the profile fields, as the profile dialog and the command line show and read them.
std::string format_size(uint64_t bytes);   // "4G", "64M", "8K", "1000"
std::string format_duration(uint32_t ms);  // "250 ms", "1 sec", "2 min"
std::string format_time(uint64_t ms);      // "00:34", "~ 00:02", "0.25 sec"

bool parse_number(const std::string& text, uint32_t& value);
bool parse_size(const std::string& text, uint64_t& value);
bool parse_duration(const std::string& text, uint32_t& value);
// Split at runs of space, comma and semicolon; every piece must parse, and there must be one.
bool parse_size_list(const std::string& text, std::vector<uint64_t>& values);
bool parse_number_list(const std::string& text, std::vector<uint32_t>& values);

// The same readers, telling a well-formed value that does not fit from one that is not a value.
enum class parse_result { ok, malformed, too_large };
parse_result read_number(const std::string& text, uint32_t& value);
parse_result read_size(const std::string& text, uint64_t& value);
parse_result read_duration(const std::string& text, uint32_t& value);
parse_result read_size_list(const std::string& text, std::vector<uint64_t>& values);
parse_result read_number_list(const std::string& text, std::vector<uint32_t>& values);

// The five summary texts of a profile: tests read / write, duration read / write, total time.
struct profile_summary {
  std::string read_tests = "-", write_tests = "-";
  std::string read_time = "-", write_time = "-", total_time = "-";
};
struct test_def;
profile_summary summarize_profile(test_def& def, uint32_t error_mask);
