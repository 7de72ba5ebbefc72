#include "app/file_dialog_locale.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <memory>

namespace logwick {

namespace {

enum Column { kName, kSize, kType, kDate };

// A file's size as Russian writes it: "512 байт", "621,59 кБ", "1,53 МБ".
QString SizeText(qint64 bytes) {
  if (bytes < 1024) return QString("%1 байт").arg(bytes);
  return QLocale().formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

// The file system model's columns with sizes and dates in the default locale.
class ProgramLocaleColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || (index.column() != kSize && index.column() != kDate))
      return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QVariant own = files->data(source, role);
    if (own.toString().isEmpty()) return own;  // folders have no size; details not yet known
    if (index.column() == kSize) return SizeText(files->size(source));
    return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
  }
};

// The name column as wide as the longest name; the dialog widened so that
// every column shows, within the screen.
void FitNames(QFileDialog& dialog, QTreeView& view) {
  QHeaderView* header = view.header();
  const int names = static_cast<QAbstractItemView&>(view).sizeHintForColumn(kName);
  header->resizeSection(kName, std::max(header->sectionSize(kName), names));
  const int missing = header->length() + view.verticalScrollBar()->sizeHint().width() +
                      2 * view.frameWidth() - view.viewport()->width();
  if (missing <= 0) return;
  const QScreen* screen = dialog.screen();
  const int widest = screen ? screen->availableGeometry().width() : dialog.width() + missing;
  dialog.resize(std::min(dialog.width() + missing, widest), dialog.height());
}

}  // namespace

void UseProgramLocale(QFileDialog& dialog) {
  dialog.setProxyModel(new ProgramLocaleColumns(&dialog));
  auto* view = dialog.findChild<QTreeView*>("treeView");
  auto* files = dialog.findChild<QFileSystemModel*>();
  if (!view || !files) return;
  // Sizes, types and dates always whole: Qt sizes them for English texts.
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  for (int c : {kSize, kType, kDate}) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  // The names come from a thread of the model's own: fit them once the first
  // folder has been read, and leave the rest to the user.
  auto loaded = std::make_shared<QMetaObject::Connection>();
  *loaded = QObject::connect(files, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, view, loaded] {
    QObject::disconnect(*loaded);
    QMetaObject::invokeMethod(
        view, [&dialog, view] { FitNames(dialog, *view); }, Qt::QueuedConnection);
  });
}

}  // namespace logwick
