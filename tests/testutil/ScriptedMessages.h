#pragma once

#include "Messages.h"

#include <QQueue>
#include <QStringList>
#include <QTest>

namespace kivo::test {

// Messages for engine tests: records every text shown and answers questions from a queue
// of scripted answers. A question with no scripted answer fails the test.
class ScriptedMessages : public Messages {
public:
    void Notice(const QString& text) override { shown << text; }
    bool Ask(const QString& text) override
    {
        shown << text;
        if (m_answers.isEmpty())
            QTest::qFail(qPrintable(QStringLiteral("Unexpected question: ") + text), __FILE__, __LINE__);
        return !m_answers.isEmpty() && m_answers.dequeue();
    }

    // Scripts the answer to the next question.
    void Answer(bool yes) { m_answers.enqueue(yes); }

    QStringList shown; // every notice and question, in order

private:
    QQueue<bool> m_answers;
};

} // namespace kivo::test
