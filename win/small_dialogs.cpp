#include "win/small_dialogs.h"

#include "win/dialog.h"
#include "win/resource_ids.h"

namespace logwick::win {

namespace {

class TextParamDlg : public Dialog {
 public:
  explicit TextParamDlg(int& scope) : m_scope(scope) {}

 private:
  void OnInit() override {
    Check(IDC_SCOPE_FILTERED, m_scope == 0);
    Check(IDC_SCOPE_ALL, m_scope == 1);
  }
  bool OnCommand(WORD id, WORD) override {
    if (id == IDOK) m_scope = Checked(IDC_SCOPE_FILTERED) ? 0 : Checked(IDC_SCOPE_ALL) ? 1 : -1;
    return false;
  }
  int& m_scope;
};

constexpr char kHelpText[] =
    "Просмотр событий прибора ТАРВЕЛ-7К\r\n\r\n"
    "Прочитать из прибора — читает журнал событий прибора через COM порт, выбранный в меню "
    "Сервис → Настройка. Там же задаются серийный номер прибора (или «Авто» — поиск прибора на линии) "
    "и работа в формате АСУПЗ ГАЗ (1200 бод, контроль чётности). Чтение можно остановить кнопкой "
    "«Остановить».\r\n\r\n"
    "Прочитать из файла ... и Записать в файл ... — открывают и сохраняют списки событий (*.t7kev). "
    "Файл можно открыть и двойным щелчком: программа регистрирует этот тип файлов при каждом запуске.\r\n\r\n"
    "Фильтр — оставляет в списке события за период и выбранные виды событий, с номерами лучей и "
    "устройств в заданных пределах.\r\n\r\n"
    "Записать текст ... — сохраняет отчёт в текстовом файле (Windows-1251) со всеми событиями или "
    "только с отфильтрованными.\r\n\r\n"
    "Список прокручивается колесом мыши и клавишами со стрелками, Page Up, Page Down, Home и End.";

class HelpDlg : public Dialog {
  void OnInit() override { SetText(IDC_HELP_TEXT, kHelpText); }
};

}  // namespace

bool RunTextParamDialog(HWND owner, int& scope) {
  int chosen = scope;
  TextParamDlg dlg(chosen);
  if (dlg.RunModal(owner, IDD_TEXT_PARAM) != IDOK) return false;
  scope = chosen;
  return true;
}

void RunAboutBox(HWND owner) { Dialog().RunModal(owner, IDD_ABOUTBOX); }

void RunHelp(HWND owner) { HelpDlg().RunModal(owner, IDD_HELP); }

}  // namespace logwick::win
