// "&Карта толщин..." in the main window's Вид menu: the folder is asked for as for the relief.

#include <QAction>
#include <QtTest>
#include <memory>

#include "app/app_windows.h"
#include "app/switchboard.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

class RecordingWindows : public AppWindows {
  public:
    using AppWindows::AppWindows;
    void ShowMap(const std::string& folder) override { maps.push_back(folder); }
    void ShowRelief() override { ++reliefs; }
    void CloseAll() override {}
    std::vector<std::string> maps;
    int reliefs = 0;
};

}  // namespace

class MapMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void asksForAFolderAndOpensTheMapOfIt() {
        test::TempDir dir;
        auto ws = std::make_unique<Workspace>();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        RecordingWindows windows(*ws, prompter, picker);
        Switchboard board(*ws, windows, prompter, picker);
        board.Load(dir.str());
        prompter.shown.clear();
        ws->ReliefDir = "/surveys/last";
        QAction* item = board.findChild<QAction*>("mnuViewMap");
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("&Карта толщин..."));

        item->trigger();  // the chooser is cancelled
        QCOMPARE(prompter.Texts(), std::vector<std::string>{"Каталог не выбран"});
        QVERIFY(windows.maps.empty());
        QCOMPARE(picker.requests.back().kind, std::string("folder"));
        QCOMPARE(picker.requests.back().startDir, std::string("/surveys/last"));

        picker.answers = {"/surveys/tank 7"};
        item->trigger();
        QCOMPARE(windows.maps, std::vector<std::string>{"/surveys/tank 7"});
        QCOMPARE(ws->ReliefDir, std::string("/surveys/tank 7"));
        QCOMPARE(windows.reliefs, 0);
    }
};

}  // namespace ws

QTEST_MAIN(ws::MapMenuTest)
#include "map_menu_test.moc"
