#pragma once
// Reaching the program's windows and controls the way a user does: the window on the screen, a
// figure read off a statistics table, a value typed into a box and confirmed.

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <QWidget>

namespace ws::test {

// The visible top-level window of that object name, or null.
template <typename T = QWidget>
T* ShownWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            if (auto* t = qobject_cast<T*>(w))
                return t;
    return nullptr;
}

// The text of the statistics table ("tblStats") of `window` in the row headed `label`.
inline QString StatsCell(const QWidget* window, const char* label, int column) {
    auto* t = window->findChild<QTableWidget*>(QStringLiteral("tblStats"));
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->verticalHeaderItem(r)->text() == QString::fromUtf8(label))
            return t->item(r, column) ? t->item(r, column)->text() : QString();
    return QStringLiteral("<no row>");
}

// `text` put into the box and confirmed, as Return or leaving the box does.
inline QLineEdit* TypeInto(QLineEdit* box, const QString& text) {
    box->setText(text);
    QMetaObject::invokeMethod(box, "editingFinished");
    return box;
}

}  // namespace ws::test
