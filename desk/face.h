// The one interface through which the desktop program's model talks to the
// window system that draws it (Qt on Linux, Win32 on Windows). The model keeps
// every state and takes every decision; a face shows what the model holds,
// asks the user what the model asks, and forwards the user's acts. A scripted
// face drives the model in tests.
//
// Every call comes on the interface thread, except Post, which any thread may
// call.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace logwick {

class ArchiveWindowModel;
class FilterDialog;
class ReadingSession;
class SettingsDialog;
struct ReportScope;

enum class MsgIcon { Exclamation, Warning, Stop, Information, Question };

// The window a message box belongs to and is centred on.
enum class MsgOwner { None, Main, Reading, Filter, Settings, Archive };

// A message box's caption: "Ошибка", or the application title (the
// executable's base name, which only the face knows).
enum class MsgCaption { Error, Title };

struct Message {
  std::string text;  // UTF-8, shown as plain text
  MsgCaption caption = MsgCaption::Title;
  MsgIcon icon = MsgIcon::Exclamation;
  MsgOwner owner = MsgOwner::Main;
  // Words of a library or a server, shown only behind a "Подробности" button.
  std::string details;
  friend bool operator==(const Message&, const Message&) = default;
};

inline constexpr char kCaptionError[] = "Ошибка";

// One line of a file dialog's type list: "Списки событий (*.t7kev)" and the
// patterns it admits, "*.t7kev".
struct FileType {
  std::string name;
  std::string patterns;  // separated by ';'
};

struct FileRequest {
  bool save = false;
  std::string defaultExt;  // without its dot; a name typed without one gets it
  std::vector<FileType> types;
  std::string folder;  // where the dialog starts; empty for its own default
};

// The windows the model opens beside the main window.
enum class DeskWindow { About, Help, Statistics, Integrity, PrintPreview, FindBar };

// What of the main window changed and must be drawn again.
enum DeskChange : unsigned {
  kChangedRows = 1,       // the rows themselves (count, texts): every row again
  kChangedLines = 2,      // the six information lines
  kChangedSelection = 4,  // which rows are selected, the current row
  kChangedFound = 8,      // the find bar's marks and count
  kChangedWindows = 16,   // what the statistics and integrity windows show
};

// How a row is brought into view: scrolled the least that shows it; made the
// top row when it lies outside the view (else scrolled the least); or made
// the top row.
enum class ScrollTo { Least, TopIfHidden, Top };

class IDeskFace {
 public:
  virtual ~IDeskFace() = default;

  virtual void ShowMessage(const Message& message) = 0;
  // Да and Нет, Нет the default; true for Да.
  virtual bool AskYesNo(const Message& message) = 0;

  // The full path the user chose (completed with the default extension or
  // the chosen type's), or nothing on Cancel.
  virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;

  // Modal dialogs over a value: true when the user confirmed (the value then
  // holds what was edited).
  virtual bool RunFilterDialog(FilterDialog& dialog) = 0;
  virtual bool RunSettingsDialog(SettingsDialog& dialog) = 0;
  virtual bool RunReportOptions(ReportScope& scope) = 0;
  // The reading dialog: shown modally while the session runs; the face
  // starts the session once its window exists and ends when it has finished.
  virtual void RunReadingDialog(ReadingSession& session) = 0;
  // The archive window, modal; true when it ended by opening a history.
  virtual bool RunArchiveWindow(ArchiveWindowModel& archive) = 0;

  virtual void OpenWindow(DeskWindow window) = 0;
  // Draw again what changed (DeskChange bits).
  virtual void Changed(unsigned what) = 0;
  virtual void ShowRow(std::size_t row, ScrollTo how) = 0;
  // The row at the top of the event list now.
  virtual std::size_t TopRow() const = 0;
  virtual void CopyText(const std::string& text) = 0;
  // Ends the main window (the program).
  virtual void CloseMainWindow() = 0;

  // Any thread: runs call on the interface thread soon after.
  virtual void Post(std::function<void()> call) = 0;
};

}  // namespace logwick
