#pragma once

#include <string>

// A folder of its own under the test's working folder, removed with the files in it.
class scratch_dir {
 public:
  explicit scratch_dir(const wchar_t* name);
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  const std::wstring& path() const { return path_; }
  // The path of a file in the folder, written with `text` first when there is one.
  std::wstring file(const wchar_t* leaf, const char* text = nullptr) const;

 private:
  std::wstring path_;
};

bool file_exists(const std::wstring& path);
