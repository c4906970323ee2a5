#include "FakeHost.h"

#include "ProgramContext.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
    calls << u"SetCommandState("_s + key + u')';
    commandStates << key;
    if (key == u"Text" || key == u"Help")
        return;
    // Browsing keys and "Edit": the pane can be used only while browsing.
    modulePaneEnabled = key != u"Edit";
}

void FakeHost::SetPositionLabel(const QString& text)
{
    calls << u"SetPositionLabel("_s + text + u')';
    positionLabel = text;
}

void FakeHost::SetFindBoxText(const QString& text)
{
    calls << u"SetFindBoxText("_s + text + u')';
    findBox = text;
}

void FakeHost::SetModulePaneEnabled(bool enabled)
{
    calls << u"SetModulePaneEnabled(%1)"_s.arg(enabled ? u"true" : u"false");
    modulePaneEnabled = enabled;
}

void FakeHost::RefreshDashboard(int panel)
{
    calls << u"RefreshDashboard(%1)"_s.arg(panel);
}

void FakeHost::SetupMainWindow()
{
    calls << u"SetupMainWindow()"_s;
}

void FakeHost::ShowEnterpriseShort(const QString& shortName)
{
    calls << u"ShowEnterpriseShort("_s + shortName + u')';
}

void FakeHost::ShowScreenCaption(const QString& caption)
{
    calls << u"ShowScreenCaption("_s + caption + u')';
    screenCaption = caption;
}

void FakeHost::ShowLeftPane(bool shown)
{
    calls << u"ShowLeftPane(%1)"_s.arg(shown ? u"true" : u"false");
    leftPaneShown = shown;
}

void FakeHost::ShowDashboard(bool shown)
{
    calls << u"ShowDashboard(%1)"_s.arg(shown ? u"true" : u"false");
    dashboardShown = shown;
}

void FakeHost::ResetModuleColours()
{
    calls << u"ResetModuleColours()"_s;
}

bool FakeHost::AskAccessCode()
{
    calls << u"AskAccessCode()"_s;
    if (m_accessAnswers.isEmpty()) {
        QTest::qFail("Unexpected access-code prompt", __FILE__, __LINE__);
        return false;
    }
    return m_accessAnswers.dequeue();
}

void FakeHost::OpenInquiry(RecordScreen&)
{
    calls << u"OpenInquiry()"_s;
}

void FakeHost::OpenReport(int report)
{
    calls << u"OpenReport(%1)"_s.arg(report);
}

std::optional<ListPick> FakeHost::PickFromList(const QString& source)
{
    calls << u"PickFromList("_s + source + u')';
    if (m_picks.isEmpty())
        return std::nullopt;
    return m_picks.dequeue();
}

void FakeHost::CloseCurrentScreen()
{
    calls << u"CloseCurrentScreen()"_s;
    if (onCloseScreen)
        onCloseScreen();
}

void FakeHost::CloseMainWindow()
{
    calls << u"CloseMainWindow()"_s;
}

} // namespace kivo::test
