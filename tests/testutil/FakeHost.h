#pragma once

#include "ScreenHost.h"

#include <functional>
#include <QQueue>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

namespace kivo {
class ProgramContext;
}

namespace kivo::test {

// A main window for engine tests: records every call the record engine makes, in order,
// and keeps the little state the engine reads back (find box, module pane). The command
// state keeps the module pane as the window would. The access-code prompt answers from a
// queue of scripted answers (a prompt with no scripted answer fails the test); the list
// picker answers from its queue, or is closed without a pick.
class FakeHost : public ScreenHost {
public:
    explicit FakeHost(ProgramContext&) { }

    // Scripts the next access-code prompt: true gives the right code.
    void AnswerAccessCode(bool right) { m_accessAnswers.enqueue(right); }
    // Scripts the next list picker's choice.
    void AnswerPick(const QString& key, const QString& name) { m_picks.enqueue(ListPick { key, name }); }
    // Runs when the engine asks to close the open screen, as the window's close would
    // (tests hand it the engine's CloseRecordScreen).
    std::function<void()> onCloseScreen;

    void SetCommandState(const QString& key, bool = true) override
    {
        Note("SetCommandState", key);
        commandStates << key;
        // Browsing keys and "Edit": the pane can be used only while browsing.
        if (key != u"Text" && key != u"Help")
            modulePaneEnabled = key != u"Edit";
    }
    void SetPositionLabel(const QString& text) override { Note("SetPositionLabel", positionLabel = text); }
    QString FindBoxText() const override { return findBox; }
    void SetFindBoxText(const QString& text) override { Note("SetFindBoxText", findBox = text); }
    void SetModulePaneEnabled(bool on) override
    {
        Note("SetModulePaneEnabled", Flag(modulePaneEnabled = on));
    }
    bool ModulePaneEnabled() const override { return modulePaneEnabled; }
    void RefreshDashboard(int panel) override { Note("RefreshDashboard", QString::number(panel)); }
    void SetupMainWindow() override { Note("SetupMainWindow"); }
    void ShowEnterpriseShort(const QString& shortName) override { Note("ShowEnterpriseShort", shortName); }
    void ShowScreenCaption(const QString& caption) override { Note("ShowScreenCaption", caption); }
    void ShowLeftPane(bool shown) override { Note("ShowLeftPane", Flag(leftPaneShown = shown)); }
    void ShowDashboard(bool shown) override { Note("ShowDashboard", Flag(shown)); }
    void ResetModuleColours() override { Note("ResetModuleColours"); }
    bool AskAccessCode() override
    {
        Note("AskAccessCode");
        if (m_accessAnswers.isEmpty())
            QTest::qFail("Unexpected access-code prompt", __FILE__, __LINE__);
        return !m_accessAnswers.isEmpty() && m_accessAnswers.dequeue();
    }
    void OpenInquiry(RecordScreen&) override { Note("OpenInquiry"); }
    void OpenReport(int report) override { Note("OpenReport", QString::number(report)); }
    std::optional<ListPick> PickFromList(const QString& source) override
    {
        Note("PickFromList", source);
        return m_picks.isEmpty() ? std::nullopt : std::optional(m_picks.dequeue());
    }
    void CloseCurrentScreen() override
    {
        Note("CloseCurrentScreen");
        if (onCloseScreen)
            onCloseScreen();
    }
    void CloseMainWindow() override { Note("CloseMainWindow"); }

    // Every call, in order: "SetCommandState(Edit)", "SetPositionLabel(3 / 12)", "OpenReport(41)"...
    QStringList calls;
    QStringList commandStates; // the keys passed to SetCommandState, in order
    QString positionLabel = QStringLiteral(".");
    QString findBox = QStringLiteral("Find Id");
    bool modulePaneEnabled = true;
    bool leftPaneShown = false;

    // The calls whose text starts with prefix ("SetPositionLabel").
    QStringList CallsOf(const QString& prefix) const
    {
        return calls.filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
    }

private:
    void Note(const char* call, const QString& argument = QString())
    {
        calls << QString::fromLatin1(call) + u'(' + argument + u')';
    }
    static QString Flag(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

    QQueue<bool> m_accessAnswers;
    QQueue<ListPick> m_picks;
};

} // namespace kivo::test
