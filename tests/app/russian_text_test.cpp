// What the user reads: Qt's own dialogs and menus in Russian whatever the desktop's language (the suite
// runs with an English one), and a typed name in a message as typed.
#include "app_test_support.h"

// The visible words of parent's widgets or actions W: no accelerator marks, no shortcut.
template <class W>
static QStringList WordsOf(QObject* parent) {
  QStringList words;
  for (W* w : parent->findChildren<W*>())
    if (!w->text().isEmpty()) words << w->text().section('\t', 0, 0).remove('&');
  return words;
}

class RussianTextTest : public QObject {
  Q_OBJECT

 private slots:
  // The file dialogs as "Прочитать из файла ..." and "Записать в файл ..." build them; a name typed without
  // an extension takes the chosen type's; the columns follow the program's locale, not the desktop's.
  void TheFileDialogsAndQtsOwnTextsAreRussianTheColumnsWholeAndATypedNameAText() {
    const QString folder = TempDir() + "/columns", name = "Список событий Тарвел-7К.t7kev";
    QFile file(folder + "/" + name);
    QVERIFY(QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
            file.write(QByteArray(33 * 1024 + 300, 'x')) > 0);
    file.close();
    for (auto [save, accept] : {std::pair{true, "Сохранить"}, {false, "Открыть"}}) {
      const QString types =
          save ? "Текстовые файлы (*.txt);;CSV (*.csv);;Все файлы (*.*)" : "Все файлы (*.*)";
      const auto dlg = logwick::MakeFileDialog(nullptr, logwick::QtFileRequest{save, "txt", types, folder});
      QVERIFY(dlg->testOption(QFileDialog::DontUseNativeDialog));
      dlg->show();
      QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
      const QStringList buttons = WordsOf<QAbstractButton>(dlg.get());
      QVERIFY2(buttons.contains(accept) && buttons.contains("Отмена"), qPrintable(buttons.join('|')));
      QVERIFY(WordsOf<QLabel>(dlg.get()).contains("Имя файла:"));
      for (auto [downs, typed] :
           {std::pair{0, "x.txt"}, {1, "x.csv"}, {1, "x.txt"}}) {  // all files: the default
        if (!save) break;
        for (int i = 0; i < downs; ++i)
          QTest::keyClick(dlg->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
        dlg->findChild<QLineEdit*>("fileNameEdit")->setText("x");
        QCOMPARE(QFileInfo(dlg->selectedFiles().value(0)).fileName(), QString(typed));
      }
      if (save) continue;
      auto* view = dlg->findChild<QTreeView*>("treeView");
      const QAbstractItemModel* model = view->model();
      auto cell = [&](int column) {
        const QModelIndexList hit =
            model->match(model->index(0, 0, view->rootIndex()), Qt::DisplayRole, name);
        return hit.isEmpty() ? QString() : hit[0].siblingAtColumn(column).data().toString();
      };
      const QLocale russian(QLocale::Russian, QLocale::Russia);
      QTRY_COMPARE(cell(3), russian.toString(QFileInfo(file).lastModified(), QLocale::ShortFormat));
      QCOMPARE(cell(1), QString("33,29 кБ"));
      QStringList headings;
      for (int c = 0; c < 4; ++c) headings << model->headerData(c, Qt::Horizontal).toString();
      QCOMPARE(headings, QStringList({"Имя", "Размер", "Тип", "Дата изменения"}));
      auto whole = [view] {
        for (int c = 0; c < 4; ++c)
          if (view->columnWidth(c) < std::max(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c),
                                              view->header()->sectionSizeHint(c)))
            return false;
        return view->header()->length() <= view->viewport()->width();
      };
      QTRY_VERIFY(whole());
    }

    // Qt's own texts: the overwrite question, an edit's context menu, the date pickers' locale.
    QVERIFY(QFileDialog::tr("%1 already exists.\nDo you want to replace it?").contains("существует"));
    QLineEdit edit("текст");
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    const QStringList items = WordsOf<QAction>(menu.get());
    for (const char* item : {"Копировать", "Вставить", "Выделить всё"})
      QVERIFY2(items.contains(item), qPrintable(items.join('|')));
    QCOMPARE(QLocale().language(), QLocale::Russian);
    QCOMPARE(QDateEdit().displayFormat(), QString("dd.MM.yyyy"));
    QVERIFY(QFile::exists(":/translations/qtbase_ru.qm"));  // built in: nothing to find at run time

    // A missing name typed without its extension reaches the load; its message shows it as text.
    CLogwickDlg dlg;
    dlg.Model().OnInitDialog();
    WhenModal("openfile", [](QDialog* d) {
      auto* name = d->findChild<QLineEdit*>("fileNameEdit");
      QTest::keyClicks(name, "<b>x</b> &amp;");
      QVERIFY(d->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open)->isEnabled());
      QTest::keyClick(name, Qt::Key_Return);
      QVERIFY(!d->isVisible());
    });
    logwick::QtProfile profile;
    const QString path = QString::fromStdString(logwick::GetEventsFilesDir(profile)) + "/";
    WhenModal("messagebox", [&](QDialog* box) {
      auto* text = box->findChild<QLabel*>("qt_msgbox_label");
      QCOMPARE(text->text(), "Не могу прочитать файл\r\n" + path + "<b>x</b> &amp;.dat");
      QCOMPARE(text->textFormat(), Qt::PlainText);
      box->accept();
    });
    dlg.Model().OnReadFromFile();
  }
};

LOGWICK_QTEST_MAIN(RussianTextTest)
#include "russian_text_test.moc"
