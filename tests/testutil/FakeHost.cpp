#include "FakeHost.h"

#include "ProgramContext.h"

#include <QTest>

namespace kivo::test {

FakeHost::FakeHost(ProgramContext& context)
    : m_context(context)
{
}

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
    calls << QStringLiteral("SetCommandState(") + key + u')';
    commandStates << key;
    if (key == u"Text" || key == u"Help")
        return;
    // Browsing keys and "Edit": the pane can be used only while browsing.
    modulePaneEnabled = key != u"Edit";
}

void FakeHost::SetPositionLabel(const QString& text)
{
    calls << QStringLiteral("SetPositionLabel(") + text + u')';
    positionLabel = text;
}

void FakeHost::SetFindBoxText(const QString& text)
{
    calls << QStringLiteral("SetFindBoxText(") + text + u')';
    findBox = text;
}

void FakeHost::SetModulePaneEnabled(bool enabled)
{
    calls << QStringLiteral("SetModulePaneEnabled(%1)").arg(enabled ? u"true" : u"false");
    modulePaneEnabled = enabled;
}

void FakeHost::RefreshDashboard(int panel)
{
    calls << QStringLiteral("RefreshDashboard(%1)").arg(panel);
}

void FakeHost::SetupMainWindow()
{
    calls << QStringLiteral("SetupMainWindow()");
}

void FakeHost::ShowEnterpriseShort(const QString& shortName)
{
    calls << QStringLiteral("ShowEnterpriseShort(") + shortName + u')';
}

void FakeHost::ShowScreenCaption(const QString& caption)
{
    calls << QStringLiteral("ShowScreenCaption(") + caption + u')';
    screenCaption = caption;
}

void FakeHost::ShowLeftPane(bool shown)
{
    calls << QStringLiteral("ShowLeftPane(%1)").arg(shown ? u"true" : u"false");
    leftPaneShown = shown;
}

void FakeHost::ShowDashboard(bool shown)
{
    calls << QStringLiteral("ShowDashboard(%1)").arg(shown ? u"true" : u"false");
    dashboardShown = shown;
}

void FakeHost::ResetModuleColours()
{
    calls << QStringLiteral("ResetModuleColours()");
}

bool FakeHost::AskAccessCode()
{
    calls << QStringLiteral("AskAccessCode()");
    if (m_accessAnswers.isEmpty()) {
        QTest::qFail("Unexpected access-code prompt", __FILE__, __LINE__);
        return false;
    }
    return m_accessAnswers.dequeue();
}

void FakeHost::OpenInquiry(RecordScreen&)
{
    calls << QStringLiteral("OpenInquiry()");
}

void FakeHost::OpenReport(int report)
{
    calls << QStringLiteral("OpenReport(%1)").arg(report);
}

std::optional<ListPick> FakeHost::PickFromList(const QString& source)
{
    calls << QStringLiteral("PickFromList(") + source + u')';
    if (m_picks.isEmpty())
        return std::nullopt;
    return m_picks.dequeue();
}

void FakeHost::CloseCurrentScreen()
{
    calls << QStringLiteral("CloseCurrentScreen()");
    if (onCloseScreen)
        onCloseScreen();
}

void FakeHost::CloseMainWindow()
{
    calls << QStringLiteral("CloseMainWindow()");
}

} // namespace kivo::test
