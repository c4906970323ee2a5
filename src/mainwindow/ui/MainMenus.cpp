#include "MainMenus.h"

#include "Accessibility.h"

#include <QMenu>
#include <QMenuBar>

namespace kivo {

namespace {

struct EntryDef {
    int number;
    const char16_t* caption;
    const char16_t* shortcut; // empty: none
};

struct MenuDef {
    const char16_t* name;
    const char16_t* title;
    const char16_t* element;
    std::initializer_list<EntryDef> entries;
};

const MenuDef Menus[] = {
    { u"Transaction", u"&Transaction", u"mnuTran",
        {
            { 1, u"Product", u"" },
            { 2, u"Coupon", u"" },
            { 3, u"Customer", u"" },
            { 4, u"Supplier", u"" },
            { 6, u"Bill", u"" },
            { 7, u"Quote", u"" },
            { 9, u"Purchase", u"" },
            { 10, u"Order", u"" },
            { 12, u"Accounting", u"" },
            { 14, u"Import..", u"" },
            { 15, u"Export..", u"" },
            { 17, u"Quit", u"Ctrl+Q" },
        } },
    { u"Operation", u"&Operation", u"mnuOper",
        {
            { 1, u"Add", u"Ctrl+A" },
            { 2, u"Modify", u"Ctrl+M" },
            { 3, u"Delete", u"Ctrl+D" },
            { 5, u"Save", u"Ctrl+S" },
            { 6, u"Xerox", u"Ctrl+X" },
            { 7, u"Cancel", u"Ctrl+C" },
            { 9, u"First", u"Ctrl+F" },
            { 10, u"Prior", u"Ctrl+P" },
            { 11, u"Next", u"Ctrl+N" },
            { 12, u"Last", u"Ctrl+L" },
            { 14, u"Inquiry", u"Ctrl+I" },
            { 15, u"Report", u"Ctrl+R" },
            { 17, u"Exit", u"" },
        } },
    { u"Utility", u"&Utility", u"mnuUtil",
        {
            { 1, u"Find && Replace", u"" },
            { 2, u"Product Update", u"" },
            { 3, u"Stock Closing", u"" },
            { 5, u"Trends..", u"" },
        } },
    { u"Report", u"&Report", u"mnuRepo",
        {
            { 1, u"Product Listing", u"" },
            { 2, u"Product Rates", u"" },
            { 3, u"Product Ledger", u"" },
            { 4, u"Reorder Listing", u"" },
            { 5, u"Stock Counting", u"" },
            { 6, u"Current Stock", u"" },
            { 8, u"Coupon Print", u"" },
            { 9, u"Coupon Listing", u"" },
            { 11, u"Customer List", u"" },
            { 12, u"Customer Quotes", u"" },
            { 13, u"Supplier List", u"" },
            { 14, u"Supplier Orders", u"" },
            { 16, u"Bill Print (S)", u"" },
            { 17, u"Bill Print (L)", u"" },
            { 18, u"Packing List", u"" },
            { 19, u"Bill Listing", u"" },
            { 20, u"Quote Print", u"" },
            { 21, u"Quote Listing", u"" },
            { 23, u"Purchase Print", u"" },
            { 24, u"Purchase Listing", u"" },
            { 25, u"Order Print", u"" },
            { 26, u"Order Listing", u"" },
            { 28, u"Recon Report", u"" },
            { 29, u"Daily Sales", u"" },
            { 30, u"Monthly Sales", u"" },
            { 31, u"Product Sales", u"" },
            { 32, u"Group Sales", u"" },
            { 33, u"Paytype List", u"" },
            { 35, u"Fast-Slow Item", u"" },
            { 36, u"Rate History", u"" },
            { 37, u"Profit Report", u"" },
            { 38, u"Tax Statement", u"" },
            { 39, u"Account Ledger", u"" },
            { 40, u"Gift Receipt", u"" },
        } },
    { u"Master", u"&Master", u"mnuMast",
        {
            { 1, u"Group", u"" },
            { 2, u"Paytype", u"" },
            { 3, u"Account", u"" },
        } },
    { u"Admin", u"&Admin", u"mnuAdmn",
        {
            { 1, u"Enterprise", u"" },
            { 2, u"User", u"" },
            { 5, u"Preference", u"" },
            { 7, u"Customize", u"" },
            { 8, u"Options..", u"" },
        } },
    { u"Help", u"&Help", u"mnuHelp",
        {
            { 1, u"Content", u"" },
            { 2, u"Specifics", u"" },
            { 4, u"About", u"" },
        } },
};

} // namespace

MainMenus::MainMenus(QMenuBar* bar)
    : QObject(bar)
{
    for (const MenuDef& def : Menus) {
        const QString name = QString::fromUtf16(def.name);
        const QString element = QString::fromUtf16(def.element);
        QMenu* menu = bar->addMenu(QString::fromUtf16(def.title));
        menu->setObjectName(element);
        Describe(menu, name, element);
        m_menus[name] = menu;
        int previous = 0;
        for (const EntryDef& entry : def.entries) {
            // The numbers skipped between two entries are a separator line.
            if (previous != 0 && entry.number > previous + 1)
                menu->addSeparator();
            previous = entry.number;
            QAction* action = menu->addAction(QString::fromUtf16(entry.caption));
            action->setObjectName(QStringLiteral("%1(%2)").arg(element).arg(entry.number));
            const QString shortcut = QString::fromUtf16(entry.shortcut);
            if (!shortcut.isEmpty())
                action->setShortcut(QKeySequence(shortcut, QKeySequence::PortableText));
            const int number = entry.number;
            connect(
                action, &QAction::triggered, this, [this, name, number] { emit entryChosen(name, number); });
            m_actions[name][number] = action;
        }
    }
}

QStringList MainMenus::Names()
{
    QStringList names;
    for (const MenuDef& def : Menus)
        names << QString::fromUtf16(def.name);
    return names;
}

QMenu* MainMenus::Menu(const QString& name) const
{
    const auto found = m_menus.find(name);
    return found == m_menus.end() ? nullptr : found->second;
}

QAction* MainMenus::Action(const QString& menu, int entry) const
{
    const auto found = m_actions.find(menu);
    if (found == m_actions.end())
        return nullptr;
    const auto action = found->second.find(entry);
    return action == found->second.end() ? nullptr : action->second;
}

QList<int> MainMenus::Entries(const QString& menu) const
{
    QList<int> numbers;
    const auto found = m_actions.find(menu);
    if (found != m_actions.end())
        for (const auto& [number, action] : found->second)
            numbers << number;
    return numbers;
}

void MainMenus::SetMenuEnabled(const QString& name, bool enabled)
{
    // A disabled menu's entries answer no shortcut either.
    if (QMenu* menu = Menu(name))
        menu->menuAction()->setEnabled(enabled);
}

bool MainMenus::MenuEnabled(const QString& name) const
{
    QMenu* menu = Menu(name);
    return menu && menu->menuAction()->isEnabled();
}

void MainMenus::SetMenusVisible(bool visible)
{
    for (const auto& [name, menu] : m_menus)
        menu->menuAction()->setVisible(visible);
}

} // namespace kivo
