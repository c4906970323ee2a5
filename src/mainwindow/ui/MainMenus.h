#pragma once

#include <map>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;

namespace kivo {

// The seven menus of the main window, built on its menu bar. Entries are numbered from 1
// within their menu; a number with no entry is a separator line. Choosing an entry emits
// entryChosen with the menu's name ("Transaction", "Operation", "Utility", "Report", "Master",
// "Admin", "Help") and the entry's number. The menus belong to the menu bar.
class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QMenuBar* bar);

    // The menus' names, in menu bar order.
    static QStringList Names();
    QMenu* Menu(const QString& name) const;
    // nullptr when the menu has no such entry.
    QAction* Action(const QString& menu, int entry) const;
    // The entry numbers of a menu, ascending.
    QList<int> Entries(const QString& menu) const;

    // Enables or disables a whole menu (its title and every shortcut in it).
    void SetMenuEnabled(const QString& name, bool enabled);
    bool MenuEnabled(const QString& name) const;
    // Hides or shows every menu.
    void SetMenusVisible(bool visible);

signals:
    void entryChosen(const QString& menu, int entry);

private:
    std::map<QString, QMenu*> m_menus;
    std::map<QString, std::map<int, QAction*>> m_actions;
};

} // namespace kivo
