#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// The database specifics: the database file's size in decimal megabytes and the row counts of
// the six tables the dashboard shows, each labelled with its name and a colon.
class SpecificsState {
public:
    static constexpr int TableCount = 6;

    explicit SpecificsState(ProgramContext& context);

    // The size, then each count in turn; `shown` is called after each value so the screen can
    // paint it. A count that cannot be read is reported and the next one is still read.
    template <typename Shown> void Calculate(Shown&& shown);

    QString lblField[TableCount]; // "Product:" ...
    QString txtField[TableCount + 2]; // 1: size, 2..7: counts

private:
    void CalculateSize();
    void CalculateCount(int i);

    ProgramContext& m_context;
};

// A size in bytes as decimal megabytes with two decimals: 5,242,880 bytes is "5.24 MB".
QString DatabaseSizeText(qint64 bytes);

template <typename Shown> void SpecificsState::Calculate(Shown&& shown)
{
    CalculateSize();
    shown();
    for (int i = 0; i < TableCount; ++i) {
        txtField[i + 2] = QStringLiteral("Calc...");
        shown();
        CalculateCount(i);
        shown();
    }
}

} // namespace kivo
