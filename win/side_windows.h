// The windows beside the main window: the archive window (template 140,
// modal), the statistics window (142) and the integrity window (143), both
// modeless. Each shows what the desktop model gives it; what the user does in
// it goes back to the model as an act.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/dialog.h"

namespace logwick::win {

using Cells = std::vector<std::string>;  // UTF-8

class ArchiveDlg : public Dialog {
 public:
  enum class Act { Narrow, Open, Sync, Stop, ArchiveReadings, Close };
  // act: what the user did; the dialog's texts and table come from the model.
  explicit ArchiveDlg(std::function<void(ArchiveDlg&, Act)> act) : m_act(std::move(act)) {}

  void SetPath(const std::string& line) const;
  void SetRows(const std::vector<Cells>& rows) const;
  void ShowStatus(const std::string& text) const;
  int SelectedRow() const;

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  std::function<void(ArchiveDlg&, Act)> m_act;
};

class StatisticsWnd : public Dialog {
 public:
  // The chart control's class (drawn from the model's days).
  static void Register(HINSTANCE instance);
  void SetSummary(const std::string& text) const;
  void SetTops(const std::vector<Cells>& beams, const std::vector<Cells>& devices) const;

 private:
  void OnInit() override;
};

class IntegrityWnd : public Dialog {
 public:
  // chosen: the finding clicked, from 0.
  explicit IntegrityWnd(std::function<void(int finding)> chosen) : m_chosen(std::move(chosen)) {}
  void SetFindings(const std::string& countLine, const std::vector<Cells>& rows) const;

 private:
  void OnInit() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  std::function<void(int)> m_chosen;
};

}  // namespace logwick::win
