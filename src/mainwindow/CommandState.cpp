#include "CommandState.h"

#include <QStringList>

namespace kivo {

namespace {

// The commands each screen key disables while browsing, in ascending order (the matching
// below walks the toolbar in ascending order and relies on it).
QString BrowsingList(const QString& key)
{
    if (key == u"Tran")
        return QStringLiteral("5/7");
    if (key == u"Trao")
        return QStringLiteral("1/2/5/6/7");
    if (key == u"Trap")
        return QStringLiteral("5/6/7");
    if (key == u"Traq")
        return QStringLiteral("3/5/6/7");
    if (key == u"Trar")
        return QStringLiteral("3/5/7");
    if (key == u"Mast")
        return QStringLiteral("3/5/7/15");
    if (key == u"Admn")
        return QStringLiteral("1/3/5/6/7/15");
    return {};
}

bool IsScreenKey(const QString& key)
{
    return key == u"Edit" || !BrowsingList(key).isEmpty();
}

// Toolbar buttons 1 to 15 without the separators at 4, 8 and 13.
bool IsCommandButton(int number)
{
    return number >= 1 && number <= 15 && number != 4 && number != 8 && number != 13;
}

} // namespace

CommandState ComputeCommandState(const QString& key, bool screenEmpty, bool adminAllowed)
{
    CommandState state;
    if (IsScreenKey(key)) {
        bool lock = true;
        QString list = BrowsingList(key);
        // An empty table leaves nothing to browse, modify or report: only Add.
        if (screenEmpty)
            list = QStringLiteral("2/3/5/6/7/9/10/11/12/14/15");
        if (key == u"Edit") {
            list = QStringLiteral("5/7");
            lock = false;
        }
        state.commandList = list;

        // The listed commands take the opposite of what the others take: disabled while
        // browsing, the only ones enabled while editing.
        const QStringList elements = list.split(u'/');
        qsizetype at = 0;
        for (int number = 1; number <= 15; ++number) {
            if (!IsCommandButton(number))
                continue;
            if (number == elements[at].toInt()) {
                state.enabled[number] = !lock;
                at = (at + 1) % elements.size();
            } else {
                state.enabled[number] = lock;
            }
        }
        // Data is typed only while editing; modules are switched only while browsing.
        state.frameEnabled = !lock;
        state.leftPaneEnabled = lock;
        if (key == u"Edit")
            lock = true;
        state.commandLock = lock;
    } else {
        // No screen open ("Help", and any key that names no screen).
        for (int number = 1; number <= 15; ++number)
            if (IsCommandButton(number))
                state.enabled[number] = false;
        state.commandLock = false;
    }

    state.mainMenusEnabled = !state.commandLock;
    state.operationMenuEnabled = state.commandLock;
    state.adminMenuEnabled = adminAllowed && !state.commandLock;
    return state;
}

ToolbarLabels ToggleToolbarLabels(const QString& toggleCaption)
{
    // The caption names the state to switch to: "+" shows the captions.
    ToolbarLabels labels;
    labels.showCaptions = toggleCaption == u"+";
    labels.toggleCaption = labels.showCaptions ? QStringLiteral("-") : QStringLiteral("+");
    labels.toggleTooltip
        = labels.toggleCaption == u"+" ? QStringLiteral("Show Labels") : QStringLiteral("Hide Labels");
    return labels;
}

QString CommandCaption(int command)
{
    switch (command) {
    case 1:
        return QStringLiteral("Add");
    case 2:
        return QStringLiteral("Modify");
    case 3:
        return QStringLiteral("Delete");
    case 5:
        return QStringLiteral("Save");
    case 6:
        return QStringLiteral("Xerox");
    case 7:
        return QStringLiteral("Cancel");
    case 9:
        return QStringLiteral("First");
    case 10:
        return QStringLiteral("Prior");
    case 11:
        return QStringLiteral("Next");
    case 12:
        return QStringLiteral("Last");
    case 14:
        return QStringLiteral("Inquiry");
    case 15:
        return QStringLiteral("Report");
    case 17:
        return QStringLiteral("Exit");
    default:
        return {};
    }
}

} // namespace kivo
