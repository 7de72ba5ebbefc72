// The print preview ("Печать") of the printable report of the shown events:
// its A4 pages on screen as they are laid out, the first at once, with a
// progress bar and "Отмена" (back to the main window) while the rest are
// laid out; "Печать ..." prints them or saves them as a PDF.
#pragma once

#include <QDialog>
#include <memory>

#include "app/report_layout.h"

class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTimer;

namespace logwick {

class ReportPageView;

class ReportPreview : public QDialog {
 public:
  // list and rows must outlive the dialog.
  ReportPreview(const CT7KEventList& list, const ShownRows& rows, QWidget* parent = nullptr);
  ~ReportPreview() override;

  const ReportLayout& Layout() const { return *m_layout; }
  // Pages drawn on the screen so far.
  int PagesPainted() const;
  QProgressBar* Progress() const { return m_progress; }
  QPushButton* CancelButton() const { return m_cancel; }
  QPushButton* PrintButton() const { return m_print; }

 private:
  void LayOutStep();
  void ShowPageNumber();
  void Print();

  const CT7KEventList& m_list;
  const ShownRows& m_rows;
  std::unique_ptr<QPrinter> m_printer;
  std::unique_ptr<ReportLayout> m_layout;
  ReportPageView* m_view;
  QLabel* m_pageLine;
  QPushButton* m_print;
  QProgressBar* m_progress;
  QPushButton* m_cancel;
  QTimer* m_step;
};

// Shows the preview (A4) until the user closes it.
void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows);

}  // namespace logwick
