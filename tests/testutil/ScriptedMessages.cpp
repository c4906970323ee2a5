#include "ScriptedMessages.h"

#include <QTest>

namespace kivo::test {

bool ScriptedMessages::Ask(const QString& text)
{
    shown << text;
    if (m_answers.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("Unexpected question: ") + text), __FILE__, __LINE__);
    return !m_answers.isEmpty() && m_answers.dequeue();
}

} // namespace kivo::test
