// The windows as a window manager shows them, on the private X server of under_window_manager.sh.
#include <xcb/xcb.h>

#include "app/reading_dialog.h"
#include "app_test_support.h"

namespace {

xcb_atom_t Atom(const char* name) {
  xcb_connection_t* c = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// The actions the window manager allows on a window (_NET_WM_ALLOWED_ACTIONS).
std::vector<xcb_atom_t> AllowedActions(const QWidget& w) {
  xcb_connection_t* c = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c,
                             xcb_get_property(c, 0, static_cast<xcb_window_t>(w.winId()),
                                              Atom("_NET_WM_ALLOWED_ACTIONS"), XCB_ATOM_ATOM, 0, 64),
                             nullptr);
  if (!reply) return {};
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
  std::vector<xcb_atom_t> actions(atoms, atoms + xcb_get_property_value_length(reply) / sizeof(xcb_atom_t));
  std::free(reply);
  return actions;
}

}  // namespace

class WindowManagerTest : public QObject {
  Q_OBJECT

 private slots:
  void TheMainWindowHasNoMaximiseAndAReadingsWarningStandsAtTheCentreOfTheReadingDialog() {
    CLogwickDlg main(nullptr, {.readout = [](const logwick::ReadoutSettings&, logwick::IReadoutView& v,
                                             const std::atomic<bool>&) {
                       v.Warning(logwick::ReadoutStatus::AddressNotSet);
                       return logwick::ReadoutResult{.status = logwick::ReadoutStatus::AddressNotSet};
                     }});
    QVERIFY(QTest::qWaitForWindowActive(&Shown(main)));
    std::vector<xcb_atom_t> actions;
    QTRY_VERIFY(!(actions = AllowedActions(main)).empty());
    auto allowed = [&](const char* action) {
      return std::count(actions.begin(), actions.end(), Atom(action)) > 0;
    };
    QVERIFY(!allowed("_NET_WM_ACTION_MAXIMIZE_HORZ") && !allowed("_NET_WM_ACTION_MAXIMIZE_VERT"));
    QVERIFY(allowed("_NET_WM_ACTION_MINIMIZE"));

    main.Model().m_nPortNumber = 1;
    QPoint offset(1000, 1000);
    WhenModal("messagebox", [&](QDialog* box) {
      const QWidget* owner = box->parentWidget();
      QVERIFY(owner && owner->objectName() == QString::number(CFetchlog::kIdDialog));
      QTest::qWait(200);  // the window manager's last word on where the box stands
      offset = box->geometry().center() - owner->geometry().center();
      box->accept();
    });
    main.Model().OnReadFromPanel();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
  }
};

int main(int argc, char** argv) {
  apptest::IsolateEnvironment();
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  if (!qApp->nativeInterface<QNativeInterface::QX11Application>()) {
    std::puts("not on an X server: skipped");
    return 77;
  }
  logwick::InstallRussianTranslation();
  WindowManagerTest tc;
  return QTest::qExec(&tc, argc, argv);
}
#include "window_manager_test.moc"
