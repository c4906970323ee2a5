#include "FakeHost.h"

#include <QTest>

namespace kivo::test {

QStringList FakeHost::CallsOf(const QString& prefix) const
{
    QStringList matching;
    for (const QString& call : calls)
        if (call.startsWith(prefix))
            matching << call;
    return matching;
}

void FakeHost::SetCommandState(const QString& key, bool)
{
    Note("SetCommandState", key);
    commandStates << key;
    // Browsing keys and "Edit": the pane can be used only while browsing.
    if (key != u"Text" && key != u"Help")
        modulePaneEnabled = key != u"Edit";
}

bool FakeHost::AskAccessCode()
{
    Note("AskAccessCode");
    if (m_accessAnswers.isEmpty())
        QTest::qFail("Unexpected access-code prompt", __FILE__, __LINE__);
    return !m_accessAnswers.isEmpty() && m_accessAnswers.dequeue();
}

std::optional<ListPick> FakeHost::PickFromList(const QString& source)
{
    Note("PickFromList", source);
    if (m_picks.isEmpty())
        return std::nullopt;
    return m_picks.dequeue();
}

void FakeHost::CloseCurrentScreen()
{
    Note("CloseCurrentScreen");
    if (onCloseScreen)
        onCloseScreen();
}

} // namespace kivo::test
