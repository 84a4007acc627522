#pragma once

#include <deque>
#include <string>
#include <vector>

#include "toolkit/file_dialogs.h"

// Answers the file dialogs from queues the test fills, and keeps every request it was given.
// A dialog without a queued answer fails the test and answers "cancelled".
class queued_file_dialogs final : public file_dialogs {
 public:
  void answer_save(const std::wstring& path) { save_answers_.push_back({true, path}); }
  void cancel_save() { save_answers_.push_back({false, {}}); }
  void answer_folder(const std::wstring& path) { folder_answers_.push_back({true, path}); }
  void cancel_folder() { folder_answers_.push_back({false, {}}); }

  bool save_file(const save_file_request& request, std::wstring& path) override;
  bool pick_folder(const folder_request& request, std::wstring& path) override;

  std::vector<save_file_request> save_requests;
  std::vector<folder_request> folder_requests;

 private:
  struct answer {
    bool chosen;
    std::wstring path;
  };
  static bool next(std::deque<answer>& answers, const char* what, std::wstring& path);
  std::deque<answer> save_answers_;
  std::deque<answer> folder_answers_;
};
