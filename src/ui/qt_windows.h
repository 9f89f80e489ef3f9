#pragma once
// Small pieces every window of the program shares.
#include <QString>
#include <functional>

class QAction;
class QMenuBar;
class QWidget;

namespace ws {

// Centres the window on the primary screen's free area, as every window of the program opens.
void CenterOnScreen(QWidget& window);

// The "about" entry right on the menu bar, calling `show` (when set) on a click.
QAction* AddAboutItem(QMenuBar& bar, const QString& caption, std::function<void()> show);

}  // namespace ws
