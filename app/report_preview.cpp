#include "app/report_preview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <utility>

namespace logwick {

// The pages one under another, as wide as the view; each drawn when it
// comes into sight.
class ReportPageView : public QAbstractScrollArea {
 public:
  ReportPageView(const ReportLayout& layout, QWidget* parent)
      : QAbstractScrollArea(parent), m_layout(layout) {
    setObjectName("pages");
    viewport()->setAutoFillBackground(false);
  }

  void SetPageCount(int pages) {
    if (pages == m_pages) return;
    m_pages = pages;
    UpdateRange();
    viewport()->update();
  }
  int PagesPainted() const { return m_painted; }
  // The page most of the view shows.
  int CurrentPage() const {
    return std::clamp((verticalScrollBar()->value() + viewport()->height() / 2) / Stride(), 0,
                      std::max(m_pages - 1, 0));
  }

  std::function<void()> onScrolled;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QAbstractScrollArea::resizeEvent(event);
    m_images.clear();
    UpdateRange();
  }
  void scrollContentsBy(int, int) override {
    viewport()->update();
    if (onScrolled) onScrolled();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    const int top = verticalScrollBar()->value();
    for (int page = std::max(top / Stride(), 0); page < m_pages; ++page) {
      const int y = kGap + page * Stride() - top;
      if (y >= viewport()->height()) break;
      const QImage& image = Image(page);
      p.fillRect(QRect(kGap + 3, y + 3, image.width(), image.height()), palette().color(QPalette::Shadow));
      p.drawImage(kGap, y, image);
      ++m_painted;
    }
  }

 private:
  static constexpr int kGap = 12;

  qreal Scale() const { return std::max(viewport()->width() - 2 * kGap, 50) / m_layout.PaperRect().width(); }
  int Stride() const { return qRound(m_layout.PaperRect().height() * Scale()) + kGap; }

  void UpdateRange() {
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(kGap + m_pages * Stride() - viewport()->height(), 0));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(fontMetrics().height() * 3);
  }

  // A page drawn at the view's scale on an image of the printer's
  // resolution, so that its fonts and rich text measure as on paper.
  const QImage& Image(int page) {
    if (auto it = m_images.find(page); it != m_images.end()) return it->second;
    if (m_images.size() > 8) m_images.clear();
    const qreal scale = Scale();
    const QRectF paper = m_layout.PaperRect();
    QImage image(qRound(paper.width() * scale), qRound(paper.height() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(m_layout.Resolution() / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(scale, scale);
    p.translate(m_layout.PrintRect().topLeft() - paper.topLeft());
    m_layout.PaintPage(p, page);
    p.end();
    return m_images[page] = std::move(image);
  }

  const ReportLayout& m_layout;
  int m_pages = 0;
  int m_painted = 0;
  std::map<int, QImage> m_images;
};

namespace {

// Rows laid out at a time between two looks at the user's input.
constexpr std::chrono::milliseconds kStep(40);

std::unique_ptr<QPrinter> A4Printer() {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPageSize(QPageSize(QPageSize::A4));
  return printer;
}

}  // namespace

ReportPreview::ReportPreview(const CT7KEventList& list, const ShownRows& rows, QWidget* parent)
    : QDialog(parent), m_list(list), m_rows(rows), m_printer(A4Printer()) {
  setObjectName("printPreview");
  setWindowTitle("Печать");
  m_layout = std::make_unique<ReportLayout>(*m_printer, list, rows);
  m_view = new ReportPageView(*m_layout, this);
  m_print = new QPushButton("Печать ...", this);
  m_print->setObjectName("printButton");
  m_print->setAutoDefault(false);
  m_print->setEnabled(false);  // once every page is laid out
  m_pageLine = new QLabel(this);
  m_progress = new QProgressBar(this);
  m_progress->setRange(0, static_cast<int>(m_layout->Events()));
  m_progress->setFormat("Разбивка на страницы: %p%");
  m_cancel = new QPushButton("Отмена", this);
  m_cancel->setObjectName("cancel");
  m_cancel->setAutoDefault(false);

  auto* top = new QHBoxLayout;
  top->addWidget(m_print);
  top->addWidget(m_pageLine, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_progress, 1);
  bottom->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_view, 1);
  layout->addLayout(bottom);
  // A page's width at a readable scale, as tall as the screen allows.
  const QRect room = (parent ? parent->screen() : screen())->availableGeometry();
  resize(std::min(760, room.width() * 9 / 10), std::min(900, room.height() * 9 / 10));

  connect(m_print, &QPushButton::clicked, this, &ReportPreview::Print);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  m_view->onScrolled = [this] { ShowPageNumber(); };
  m_view->SetPageCount(m_layout->PageCount());
  ShowPageNumber();
  m_step = new QTimer(this);
  connect(m_step, &QTimer::timeout, this, &ReportPreview::LayOutStep);
  m_step->start(0);
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::PagesPainted() const { return m_view->PagesPainted(); }

void ReportPreview::LayOutStep() {
  const bool done = m_layout->LayOut(kStep);
  m_view->SetPageCount(m_layout->PageCount());
  m_progress->setValue(static_cast<int>(m_layout->EventsLaidOut()));
  ShowPageNumber();
  if (!done) return;
  m_step->stop();
  m_progress->hide();
  m_cancel->hide();
  m_print->setEnabled(true);
}

void ReportPreview::ShowPageNumber() {
  m_pageLine->setText(QString("Страница %1 из %2%3")
                          .arg(m_view->CurrentPage() + 1)
                          .arg(m_layout->PageCount())
                          .arg(m_layout->Done() ? "" : " ..."));
}

void ReportPreview::Print() {
  const std::unique_ptr<QPrinter> printer = A4Printer();
  QPrintDialog choose(printer.get(), this);
  if (choose.exec() != QDialog::Accepted) return;
  QProgressDialog progress("Печать ...", "Отмена", 0, m_layout->PageCount(), this);
  progress.setWindowTitle(windowTitle());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  // A wait cursor while the pages are laid out for this printer.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool waiting = true;
  const bool printed = PrintReport(*printer, m_list, m_rows, [&](int page, int pages) {
    if (std::exchange(waiting, false)) QApplication::restoreOverrideCursor();
    progress.setMaximum(pages);
    progress.setValue(page);
    return !progress.wasCanceled();
  });
  if (waiting) QApplication::restoreOverrideCursor();
  // A PDF stopped halfway is no document: nothing is left of it.
  if (!printed && printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
    QFile::remove(printer->outputFileName());
}

void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows) {
  ReportPreview preview(list, rows, owner);
  preview.exec();
}

}  // namespace logwick
