#include <cwctype>

#include "toolkit/file_dialogs.h"

std::vector<std::pair<std::wstring, std::wstring>> parse_file_filter(const std::wstring& filter) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  while (start <= filter.size()) {
    const size_t bar = filter.find(L'|', start);
    pieces.push_back(filter.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
    if (bar == std::wstring::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<std::wstring, std::wstring>> out;
  for (size_t i = 0; i + 1 < pieces.size(); i += 2)
    if (!pieces[i + 1].empty()) out.emplace_back(pieces[i], pieces[i + 1]);
  return out;
}

namespace {
bool ends_with_nocase(const std::wstring& text, const std::wstring& tail) {
  if (tail.size() > text.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::towlower(text[text.size() - tail.size() + i]) != std::towlower(tail[i])) return false;
  return true;
}
}  // namespace

std::wstring with_pattern_extension(const std::wstring& path, const std::wstring& pattern) {
  const std::wstring first = pattern.substr(0, pattern.find(L';'));
  if (first.size() < 3 || first.compare(0, 2, L"*.") != 0 || first.find_first_of(L"*?", 2) != std::wstring::npos)
    return path;
  const std::wstring extension = first.substr(1);  // ".folvi.txt"
  if (ends_with_nocase(path, extension)) return path;
  // A dialog that added only the last part (".txt") of a longer extension gets the whole of it.
  for (size_t dot = extension.find(L'.', 1); dot != std::wstring::npos; dot = extension.find(L'.', dot + 1))
    if (ends_with_nocase(path, extension.substr(dot)))
      return path.substr(0, path.size() - (extension.size() - dot)) + extension;
  return path + extension;
}
