#include "status_monitor/file_selector.h"

#include <algorithm>

#include "common/win_path.h"
#include "status_monitor/texts.h"

namespace monitor {

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameText(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](wchar_t x, wchar_t y) { return AsciiLower(x) < AsciiLower(y); });
}

bool WildcardMatch(std::wstring_view name, std::wstring_view pattern) {
  size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::wstring_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

// "c:" and "c:\" both name the drive's root; elsewhere a trailing separator is dropped.
std::wstring NormalizeFolder(std::wstring path) {
  if (path.size() == 2 && path[1] == L':') path.push_back(L'\\');
  while (path.size() > 3 && common::IsPathSeparator(path.back())) path.pop_back();
  return path;
}

// The folders from the root down to `path`: "C:\a\b" -> "C:\", "C:\a", "C:\a\b".
std::vector<std::wstring> Ancestors(const std::wstring& path) {
  std::vector<std::wstring> chain;
  size_t rootEnd = path.size() >= 3 && path[1] == L':' ? 3 : 0;
  if (rootEnd == 0) return {path};
  chain.push_back(path.substr(0, rootEnd));
  for (size_t i = rootEnd; i <= path.size(); ++i) {
    if (i == path.size() || common::IsPathSeparator(path[i])) {
      if (i > rootEnd) chain.push_back(path.substr(0, i));
    }
  }
  return chain;
}

std::wstring Indent(size_t depth) { return std::wstring(depth * 2, L' '); }

}  // namespace

std::wstring TrimBlanks(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  const size_t last = text.find_last_not_of(L" \t");
  return std::wstring(text.substr(first, last - first + 1));
}

bool MatchesPattern(std::wstring_view name, std::wstring_view patterns) {
  size_t start = 0;
  while (start <= patterns.size()) {
    const size_t end = std::min(patterns.find(L';', start), patterns.size());
    const std::wstring pattern = TrimBlanks(patterns.substr(start, end - start));
    if (!pattern.empty() && WildcardMatch(name, pattern)) return true;
    start = end + 1;
  }
  return false;
}

void FileSelector::Fill(const std::wstring& folder) {
  drives_ = files_.DriveTexts();
  ShowDriveOf(folder);
  SetDirectory(folder);
  // The first fill joins with a backslash without looking at the folder's end.
  view_.SetPathText(folder + L"\\" + SelectedFile());
  view_.SetDirectoryPlacement(0, kDirectoryWidth);
  view_.SetScrollBar(kDirectoryScrollMax, 0);
}

std::wstring FileSelector::TrimmedPath() { return TrimBlanks(view_.PathText()); }

std::wstring FileSelector::SelectedFile() const {
  return fileIndex_ >= 0 && fileIndex_ < static_cast<int>(fileNames_.size()) ? fileNames_[fileIndex_] : std::wstring();
}

void FileSelector::ShowDriveOf(const std::wstring& path) {
  const std::wstring_view drive = std::wstring_view(path).substr(0, 2);
  int selected = -1;
  for (size_t i = 0; i < drives_.size(); ++i) {
    if (SameText(std::wstring_view(drives_[i]).substr(0, 2), drive)) {
      selected = static_cast<int>(i);
      break;
    }
  }
  view_.SetDriveList(drives_, selected);
}

FolderResult FileSelector::SetDirectory(const std::wstring& path) {
  const std::wstring folder = NormalizeFolder(path);
  std::vector<std::wstring> folders;
  std::vector<std::wstring> files;
  const FolderResult result = files_.ListFolder(folder, folders, files);
  if (result != FolderResult::Ok) return result;

  directory_ = folder;
  std::sort(folders.begin(), folders.end(), LessNoCase);
  const std::vector<std::wstring> chain = Ancestors(directory_);
  std::vector<std::wstring> items;
  directoryPaths_.clear();
  for (size_t depth = 0; depth < chain.size(); ++depth) {
    items.push_back(depth == 0 ? chain[0] : Indent(depth) + common::FileNameOf(chain[depth]));
    directoryPaths_.push_back(chain[depth]);
  }
  for (const std::wstring& name : folders) {
    items.push_back(Indent(chain.size()) + name);
    directoryPaths_.push_back(common::JoinPath(directory_, name));
  }
  view_.SetDirectoryList(items, static_cast<int>(chain.size()) - 1);

  // The directory changed: the file list follows it, with the first file selected.
  std::vector<std::wstring> matching;
  for (std::wstring& name : files) {
    if (MatchesPattern(name, pattern_)) matching.push_back(std::move(name));
  }
  std::sort(matching.begin(), matching.end(), LessNoCase);
  fileNames_ = std::move(matching);
  fileIndex_ = fileNames_.empty() ? -1 : 0;
  view_.SetFileList(fileNames_, fileIndex_);
  view_.SetPathText(common::JoinPath(directory_, SelectedFile()));
  return FolderResult::Ok;
}

void FileSelector::Drive_Change(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return;
  // A drive shown with its label or share name ("x: [label]") is the text before the "[".
  const std::wstring& text = drives_[index];
  const size_t bracket = text.find(L'[');
  const std::wstring path = bracket != std::wstring::npos ? TrimBlanks(std::wstring_view(text).substr(0, bracket))
                                                          : text + L"\\";
  const FolderResult result = SetDirectory(path);
  if (result == FolderResult::Ok) {
    ShowDriveOf(directory_);
    return;
  }
  if (result == FolderResult::NotReady && failure_ == DriveFailure::ReportNotReady) {
    boxes_.Show(text::kDriveNotReady, BoxStyle::Error);
  }
  ShowDriveOf(directory_);  // the list goes back to the drive the directory list shows
}

void FileSelector::Dir_Open(int index) {
  if (index < 0 || index >= static_cast<int>(directoryPaths_.size())) return;
  if (directoryPaths_[index] == directory_) return;
  if (SetDirectory(directoryPaths_[index]) == FolderResult::Ok) ShowDriveOf(directory_);
}

void FileSelector::File_Click(int index) {
  if (index < 0 || index >= static_cast<int>(fileNames_.size())) return;
  fileIndex_ = index;
  view_.SetPathText(common::JoinPath(directory_, SelectedFile()));
}

void FileSelector::HScroll_Change(int value) {
  value = std::clamp(value, 0, kDirectoryScrollMax);
  view_.SetDirectoryPlacement(-kDirectoryShiftPerStep * value, kDirectoryWidth + kDirectoryShiftPerStep * value);
}

bool CheckFirmwareFile(const std::wstring& path, Files& files, MessageBoxes& boxes, EventLoop& events) {
  events.ProcessPendingEvents();
  const size_t dot = path.rfind(L'.');
  const bool hasExtension = dot != std::wstring::npos && path.size() - dot - 1 >= 3;
  if (!hasExtension) {
    if (!TrimBlanks(path).empty()) {
      boxes.Show(text::kFileNameInvalid, BoxStyle::CriticalOk);
    } else {
      boxes.Show(text::kFileNotSpecified, BoxStyle::CriticalCancelRetry);
    }
    return false;
  }
  // The library's path buffer cannot hold more; such a path is refused, never cut short.
  if (path.size() > kMaxLibraryPathChars) {
    boxes.Show(text::kFileNameInvalid, BoxStyle::CriticalOk);
    return false;
  }
  switch (files.OpenForReading(path)) {
    case OpenResult::Ok: return true;
    case OpenResult::NotFound: boxes.Show(text::kFileNotFound, BoxStyle::QuestionOkOnly); return false;
    case OpenResult::Failed: return false;
  }
  return false;
}

}  // namespace monitor
