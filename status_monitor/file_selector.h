// The file selector used on the "Others" page and in the instruction log window: a drive list, a
// directory list with a scroll bar that shifts it, a file list filtered by a pattern, and a path
// field that always holds the file that will be used. Also the file check of the firmware download.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "status_monitor/ports.h"

namespace monitor {

enum class FolderResult { Ok, NotReady, NotFound, Failed };
enum class OpenResult { Ok, NotFound, Failed };

// The machine's drives, folders and files, as the selectors and checks need them.
class Files {
 public:
  virtual ~Files() = default;
  // The drive list's entries: "c:", or "c: [label]" for a drive with a volume label or share name.
  virtual std::vector<std::wstring> DriveTexts() = 0;
  // The subfolders and files of a folder, unsorted.
  virtual FolderResult ListFolder(const std::wstring& folder, std::vector<std::wstring>& folders,
                                  std::vector<std::wstring>& files) = 0;
  // Opens the file for reading and closes it again.
  virtual OpenResult OpenForReading(const std::wstring& path) = 0;
};

// The five controls of one selector instance. Positions are in twips, relative to the frame.
class SelectorView {
 public:
  virtual ~SelectorView() = default;
  virtual void SetDriveList(const std::vector<std::wstring>& items, int selected) = 0;
  virtual void SetDirectoryList(const std::vector<std::wstring>& items, int selected) = 0;
  virtual void SetFileList(const std::vector<std::wstring>& items, int selected) = 0;
  virtual void SetDirectoryPlacement(int leftTwips, int widthTwips) = 0;
  virtual void SetScrollBar(int maximum, int value) = 0;
  virtual void SetPathText(const std::wstring& text) = 0;
  virtual std::wstring PathText() = 0;
};

// How a failed drive change is answered.
enum class DriveFailure {
  Silent,          // back to the directory's drive, no message (the "Others" page)
  ReportNotReady,  // "Drive is not ready." for an unavailable device (the instruction log window)
};

// Whether a file name matches one of the ';'-separated wildcard patterns ('*' and '?', any case).
bool MatchesPattern(std::wstring_view name, std::wstring_view patterns);

// Directory list geometry.
inline constexpr int kDirectoryWidth = 2100;
inline constexpr int kDirectoryShiftPerStep = 150;
inline constexpr int kDirectoryScrollMax = 10;

class FileSelector {
 public:
  // `pattern`: ';'-separated wildcards in ASCII, e.g. "*.txt".
  FileSelector(SelectorView& view, Files& files, MessageBoxes& boxes, std::string_view pattern, DriveFailure failure)
      : view_(view), files_(files), boxes_(boxes), pattern_(pattern.begin(), pattern.end()), failure_(failure) {}

  // The initial fill, in `folder` (the program's folder, without a trailing separator).
  void Fill(const std::wstring& folder);

  // Events of the controls: an index into the list as last set.
  void Drive_Change(int index);
  void Dir_Open(int index);  // a directory entry opened (double click or Enter)
  void File_Click(int index);
  void HScroll_Change(int value);

  const std::wstring& Directory() const { return directory_; }
  // The path field with surrounding blanks removed.
  std::wstring TrimmedPath();

 private:
  // Sets the directory list's path and runs its change; the folder is read first, so a failure
  // leaves everything as it was.
  FolderResult SetDirectory(const std::wstring& path);
  void ShowDirectoryList();
  void ShowFileList(const std::vector<std::wstring>& files);
  void ShowDriveOf(const std::wstring& path);
  std::wstring SelectedFile() const;

  SelectorView& view_;
  Files& files_;
  MessageBoxes& boxes_;
  std::wstring pattern_;
  DriveFailure failure_;

  std::vector<std::wstring> drives_;
  std::wstring directory_;
  std::vector<std::wstring> directoryPaths_;  // the full path of each directory list entry
  std::vector<std::wstring> fileNames_;
  int fileIndex_ = -1;
};

// The file check of the firmware download: true when the path may be sent. Shows its own messages.
bool CheckFirmwareFile(const std::wstring& path, Files& files, MessageBoxes& boxes, EventLoop& events);

// A path the library's path buffer (1025 bytes of UTF-16LE and its terminator) can hold.
inline constexpr size_t kMaxLibraryPathChars = 511;

// Blanks removed from both ends.
std::wstring TrimBlanks(std::wstring_view text);

}  // namespace monitor
