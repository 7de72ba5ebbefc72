#include "app/report_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "lists/event_kinds.h"
#include "lists/html_report.h"

namespace logwick {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString TimeText(std::uint32_t stamp) {
  CT7KEvent ev;
  ev.SetTimeStamp(stamp);
  return QString::fromStdString(ev.GetTimeText());
}

constexpr FindingKind kLastFindingKind = FindingKind::NoInformation;

}  // namespace

ReportLayout::ReportLayout(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows)
    : m_list(list),
      m_rows(rows),
      m_paper(printer.pageLayout().fullRectPixels(printer.resolution())),
      m_print(printer.pageLayout().paintRectPixels(printer.resolution())),
      m_resolution(printer.resolution()),
      m_font(QFont("DejaVu Sans", 9), &printer),
      m_bold(m_font),
      m_small(QFont("DejaVu Sans", 8), &printer) {
  m_bold.setBold(true);
  const QFontMetricsF fm(m_font), bold(m_bold);
  m_pad = fm.height() / 6;
  m_headHeight = bold.height() + 2 * m_pad;
  m_bottom = m_print.height() - fm.height() * 2;
  m_lineHeight =
      fm.boundingRect(QRectF(0, 0, m_print.width(), 1e6), Qt::TextWordWrap, "Ag").height() + 2 * m_pad;
  const qreal timeWidth = fm.horizontalAdvance("00/00/0000 00:00:00") + 3 * m_pad;
  auto widest = [&](qreal from, auto&& texts) {
    for (const QString& t : texts)
      from = std::max({from, fm.horizontalAdvance(t), bold.horizontalAdvance(t)});
    return from + 3 * m_pad;
  };

  m_summary = std::make_unique<QTextDocument>();
  m_summary->documentLayout()->setPaintDevice(&printer);
  m_summary->setDefaultFont(m_font);
  QString html = QString::fromStdString(HtmlReportSummary(list, rows, m_findings));
  // Qt's rich text would hand the summary's page break to each of its lines.
  html.replace("page-break-after: always;", "");
  m_summary->setHtml(html);
  m_summaryHeight = m_print.height() - QFontMetricsF(m_small).height() * 2;
  m_summary->setPageSize(QSizeF(m_print.width(), m_summaryHeight));
  m_summaryPages = m_summary->pageCount();
  m_pages.resize(static_cast<std::size_t>(m_summaryPages));
  // The findings follow the summary's last line on its last page.
  const QRectF last = m_summary->documentLayout()->blockBoundingRect(m_summary->lastBlock());
  m_y = last.bottom() - (m_summaryPages - 1) * m_summaryHeight + fm.height() / 2;

  QStringList titles;
  for (int k = 0; k <= static_cast<int>(kLastFindingKind); ++k)
    titles << Q(FindingTitle(static_cast<FindingKind>(k)));
  Table& findings = m_tables[0];
  findings.head = {"Время", "Замечание"};
  findings.lefts = {0, timeWidth, timeWidth + widest(bold.horizontalAdvance(findings.head[1]), titles)};
  findings.rows = m_findings.size();
  findings.wrapping = [this](std::size_t row) { return Q(FindingTitle(m_findings[row].kind)); };
  findings.cells = [this](std::size_t row) {
    return QStringList{TimeText(m_findings[row].time), Q(FindingTitle(m_findings[row].kind))};
  };

  QStringList kinds{"Вид"};
  for (EventKind kind : kEventKinds) kinds << Q(KindName(kind));
  Table& events = m_tables[1];
  events.head = {"Время", "Вид", "Событие"};
  events.lefts = {0, timeWidth, timeWidth + widest(0, kinds), m_print.width()};
  events.rows = rows.Count();
  events.newPage = true;
  events.wrapping = [this](std::size_t row) {
    std::string text;
    m_list[m_rows.EventAt(row)].AppendText(text, m_list.m_texts);
    return QString::fromStdString(text);
  };
  events.cells = [this](std::size_t row) {
    const CT7KEvent& ev = m_list[m_rows.EventAt(row)];
    std::string text;
    ev.AppendText(text, m_list.m_texts);
    return QStringList{QString::fromStdString(ev.GetTimeText()), Q(KindName(KindOf(ev))),
                       QString::fromStdString(text)};
  };
  for (Table& t : m_tables) t.heights.reserve(t.rows);
}

ReportLayout::~ReportLayout() = default;

qreal ReportLayout::WrappedHeight(const Table& table, const QString& text) const {
  const QFontMetricsF fm(m_font);
  const qreal width = table.lefts.back() - table.lefts[table.lefts.size() - 2] - 2 * m_pad;
  // Most texts take one line: measuring their width is far quicker than
  // wrapping them.
  if (fm.horizontalAdvance(text) < width) return m_lineHeight;
  return fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height() + 2 * m_pad;
}

void ReportLayout::OpenPage() {
  m_pages.push_back({});
  m_y = 0;
}

bool ReportLayout::LayOut(std::chrono::milliseconds budget) {
  const auto deadline = std::chrono::steady_clock::now() + budget;
  for (std::size_t laid = 0; m_table < m_tables.size(); ++laid) {
    Table& t = m_tables[m_table];
    if (!m_started && t.rows == 0 && !t.newPage) {  // no findings: no table
      ++m_table;
      continue;
    }
    const qreal h = m_row < t.rows ? WrappedHeight(t, t.wrapping(m_row)) : 0;
    if (!m_started) {
      // A header row never stands alone at a page's foot.
      if (t.newPage || m_y + m_headHeight + h > m_bottom) OpenPage();
      m_pages.back() = {m_table, 0, 0, m_y};
      m_y += m_headHeight;
      m_started = true;
    } else if (m_y + h > m_bottom && m_pages.back().end > m_pages.back().first) {
      OpenPage();
      m_pages.back() = {m_table, m_row, m_row, 0};
      m_y = m_headHeight;
    }
    if (m_row < t.rows) {
      t.heights.push_back(static_cast<float>(h));
      m_y += h;
      m_pages.back().end = ++m_row;
    }
    if (m_row == t.rows) {
      ++m_table;
      m_row = 0;
      m_started = false;
    }
    if (laid % 64 == 63 && std::chrono::steady_clock::now() >= deadline) break;
  }
  return Done();
}

void ReportLayout::LayOutAll() {
  while (!LayOut(std::chrono::hours(1))) {
  }
}

std::size_t ReportLayout::EventsLaidOut() const { return m_tables[1].heights.size(); }

int ReportLayout::PageCount() const { return static_cast<int>(Done() ? m_pages.size() : m_pages.size() - 1); }

void ReportLayout::PaintRow(QPainter& p, const Table& t, qreal y, const QStringList& cells, qreal h,
                            bool header) const {
  const qreal width = t.lefts.back();
  if (header) p.fillRect(QRectF(0, y, width, h), QColor(0xee, 0xee, 0xee));
  p.setFont(header ? m_bold : m_font);
  p.setPen(QColor(0x99, 0x99, 0x99));
  p.drawRect(QRectF(0, y, width, h));
  for (std::size_t c = 1; c + 1 < t.lefts.size(); ++c)
    p.drawLine(QPointF(t.lefts[c], y), QPointF(t.lefts[c], y + h));
  p.setPen(Qt::black);
  for (std::size_t c = 0; c + 1 < t.lefts.size(); ++c)
    p.drawText(QRectF(t.lefts[c] + m_pad, y + m_pad, t.lefts[c + 1] - t.lefts[c] - 2 * m_pad, h - 2 * m_pad),
               Qt::TextWordWrap, cells[static_cast<qsizetype>(c)]);
}

void ReportLayout::PaintPage(QPainter& p, int page) const {
  if (page < m_summaryPages) {
    p.save();
    p.translate(0, -page * m_summaryHeight);
    m_summary->drawContents(&p, QRectF(0, page * m_summaryHeight, m_print.width(), m_summaryHeight));
    p.restore();
  }
  const Page& at = m_pages[static_cast<std::size_t>(page)];
  if (at.table < m_tables.size()) {
    const Table& t = m_tables[at.table];
    PaintRow(p, t, at.top, t.head, m_headHeight, true);
    qreal y = at.top + m_headHeight;
    for (std::size_t row = at.first; row < at.end; ++row) {
      const qreal h = t.heights[row];
      PaintRow(p, t, y, t.cells(row), h, false);
      y += h;
    }
  }
  p.setFont(m_small);
  const QFontMetricsF fm(p.font());
  p.setPen(Qt::black);
  p.drawText(QRectF(0, m_print.height() - fm.height(), m_print.width(), fm.height()), Qt::AlignRight,
             QString::number(page + 1));
}

bool PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows,
                 const std::function<bool(int page, int pages)>& progress) {
  ReportLayout layout(printer, list, rows);
  layout.LayOutAll();
  QPainter p;
  if (!p.begin(&printer)) return false;
  const int pages = layout.PageCount();
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !printer.newPage()) return false;
    layout.PaintPage(p, page);
    if (progress && !progress(page + 1, pages)) {
      printer.abort();
      return false;
    }
  }
  return p.end();
}

}  // namespace logwick
