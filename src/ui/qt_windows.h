#pragma once
// Small pieces every window of the program shares.
#include <QString>
#include <functional>

class QAction;
class QCoreApplication;
class QMenuBar;
class QWidget;

namespace ws {

// Centres the window on the primary screen's free area, as every window of the program opens.
void CenterOnScreen(QWidget& window);

// The "about" entry right on the menu bar, calling `show` (when set) on a click.
QAction* AddAboutItem(QMenuBar& bar, const QString& caption, std::function<void()> show);

// The toolkit's own Russian texts (file and print dialogs, message-box buttons), whatever the
// system's language: the program's windows are Russian and its dialogs must match. Looks in the
// toolkit's translations folder and in "translations" beside the program (a Windows install).
// False when no translation was found; the dialogs then stay in English.
bool InstallTranslations(QCoreApplication& app);

}  // namespace ws
