#include "FakeHost.h"

#include "Session.h"

#include <QTest>

namespace kivo::test {

FakeHost::FakeHost(Session& session)
    : m_session(session)
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

void FakeHost::SetCommandState(const QString& key)
{
    calls << QStringLiteral("SetCommandState(") + key + u')';
    commandStates << key;
    if (key == u"Text")
        return;
    if (key == u"Help") {
        m_session.CommandLock = false;
        return;
    }
    // Browsing keys and "Edit": the pane can be used only while browsing; the lock is left
    // set in both cases, as the window leaves it for its menus.
    modulePaneEnabled = key != u"Edit";
    m_session.CommandLock = true;
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
    dashboardRefreshes << panel;
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

void FakeHost::AskAccessCode()
{
    calls << QStringLiteral("AskAccessCode()");
    ++accessPrompts;
    if (m_accessAnswers.isEmpty()) {
        QTest::qFail("Unexpected access-code prompt", __FILE__, __LINE__);
        return;
    }
    if (m_accessAnswers.dequeue())
        m_session.AccessResult = QStringLiteral("Y");
}

void FakeHost::OpenInquiry()
{
    calls << QStringLiteral("OpenInquiry()");
    ++inquiries;
}

void FakeHost::OpenReport()
{
    calls << QStringLiteral("OpenReport(%1)").arg(m_session.ScreenReport);
    reportsOpened << m_session.ScreenReport;
}

void FakeHost::OpenListPicker()
{
    calls << QStringLiteral("OpenListPicker(") + m_session.ListSource + u')';
    ++listPickers;
}

void FakeHost::CloseCurrentScreen()
{
    calls << QStringLiteral("CloseCurrentScreen()");
    ++screenCloses;
    if (onCloseScreen)
        onCloseScreen();
}

void FakeHost::CloseMainWindow()
{
    calls << QStringLiteral("CloseMainWindow()");
    ++mainWindowCloses;
}

} // namespace kivo::test
