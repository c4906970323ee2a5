#include "SpecificsState.h"

#include "ProgramContext.h"

#include <QFileInfo>

namespace kivo {

SpecificsState::SpecificsState(ProgramContext& context)
    : m_context(context)
{
    txtField[1] = QStringLiteral("Calc...");
    for (int i = 0; i < TableCount; ++i)
        lblField[i] = context.locations.ExportTables.value(i) + u':';
}

QString DatabaseSizeText(qint64 bytes)
{
    // Whole hundredths, rounded half up, in integers: no binary fraction decides a digit.
    const qint64 hundredths = (bytes + 5000) / 10000;
    return QStringLiteral("%1.%2 MB").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QChar(u'0'));
}

void SpecificsState::CalculateSize()
{
    txtField[1] = DatabaseSizeText(QFileInfo(m_context.locations.DatabaseFile()).size());
}

void SpecificsState::CalculateCount(int i)
{
    txtField[i + 2].clear();
    TryStep(m_context.errors, [&] {
        txtField[i + 2] = m_context.connection
                              .Scalar(QStringLiteral("Select Count(*) From kt")
                                  + m_context.locations.ExportTables.value(i))
                              .toString();
    });
}

} // namespace kivo
