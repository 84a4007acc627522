#include "queued_file_dialogs.h"

#include <gtest/gtest.h>

bool queued_file_dialogs::next(std::deque<answer>& answers, const char* what, std::wstring& path) {
  if (answers.empty()) {
    ADD_FAILURE() << "no answer queued for the " << what << " dialog";
    return false;
  }
  const answer a = answers.front();
  answers.pop_front();
  if (a.chosen) path = a.path;
  return a.chosen;
}

bool queued_file_dialogs::save_file(const save_file_request& request, std::wstring& path) {
  save_requests.push_back(request);
  return next(save_answers_, "save-file", path);
}

bool queued_file_dialogs::pick_folder(const folder_request& request, std::wstring& path) {
  folder_requests.push_back(request);
  return next(folder_answers_, "folder", path);
}
