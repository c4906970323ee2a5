// Checking a screen's fields before a save, and writing them into the record.
#include "DateText.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "ScreenHost.h"
#include "ScreenRules.h"

#include <optional>
#include <QRegularExpression>

namespace kivo {

namespace {

// The table column that field index stands for: the uniqueness column the screen names,
// or else the table's column at that position.
QString ColumnOf(const RecordScreen& screen, int index)
{
    const Field& field = screen.field(index);
    if (!field.column.isEmpty())
        return field.column;
    const TableDef* table = Schema::Find(screen.table);
    if (table && index < int(table->columns.size()))
        return table->columns[size_t(index)].name;
    return {};
}

} // namespace

bool RecordEngine::ValidateRecord(RecordScreen& screen)
{
    static const QRegularExpression tenDigits(QStringLiteral("\\d{10}"));
    QString problems;
    // The record's own row never counts as a duplicate of itself; a new record has no row yet.
    const QString ownId = screen.FieldCount() == 0 || screen.Text(0) == NewRecordText()
        ? QStringLiteral("0")
        : SqlOperand(screen.Text(0));
    const int last = qMin(screen.lastField, screen.FieldCount() - 1);
    for (int i = 1; i <= last; ++i) {
        const Field& field = screen.field(i);
        const QString& value = field.text;
        const QString& code = field.descriptor;
        bool invalid = false;
        if (code == u"D") {
            invalid = !ParseShortDate(value).isValid();
        } else if (code == u"I" || code == u"F") {
            invalid = !IsNumeric(value);
        } else if (code == u"N") {
            // Not anchored: a longer run of digits holds ten as well.
            invalid = !tenDigits.match(value).hasMatch();
        } else if (code == u"U" || code == u"V" || code == u"UF") {
            if (code == u"UF" && !IsNumeric(value))
                invalid = true;
            QString count = QStringLiteral("Select Count(*) From ") + screen.table
                + QStringLiteral(" Where EId <> ") + ownId + QStringLiteral(" And ") + ColumnOf(screen, i)
                + QStringLiteral("='") + SqlQuote(value) + u'\'';
            if (code == u"V") {
                // Unique together with the field before it.
                const QString previous = screen.Text(i - 1);
                count += QStringLiteral(" And ") + ColumnOf(screen, i - 1) + u'='
                    + (previous.isEmpty() ? QStringLiteral("0") : SqlOperand(previous));
            }
            if (value.trimmed().isEmpty()) {
                invalid = true;
            } else {
                Report([&] {
                    if (m_context.connection.Scalar(count).toLongLong() > 0)
                        problems += u'\n' + field.caption + QStringLiteral(" (Exists)");
                });
            }
        } else {
            invalid = value.trimmed().isEmpty();
        }
        if (invalid)
            problems += u'\n' + field.caption;
    }
    if (screen.lines && screen.lines->IsEmpty(screen))
        problems += QStringLiteral("\nProducts");

    if (problems.isEmpty())
        return true;
    m_context.messages.Notice(QStringLiteral("Invalid-Empty Fields:\n\n") + problems);
    return false;
}

bool RecordEngine::SaveRecord(RecordScreen& screen)
{
    Recordset row(m_context.connection);
    QString id;
    std::optional<Transaction> unit;
    bool done = Report([&] {
        unit.emplace(m_context.connection);
        id = screen.list->Text(QStringLiteral("EId"));
        OpenRow(row, screen, id);
    });
    if (done) {
        // By column position. Read-only fields (the id, stock kept by posting) are never
        // written, so an edit cannot overwrite what the stock routines keep; nor is a field
        // the user left as it was shown.
        const int last = qMin(screen.lastField, screen.FieldCount() - 1);
        for (int i = 1; i <= last; ++i) {
            const Field& field = screen.field(i);
            if (field.readOnly || (!field.shownText.isNull() && field.text == field.shownText))
                continue;
            QString value = field.text;
            if (field.descriptor == u"I" || field.descriptor == u"F")
                value.replace(u',', u'.');
            // Every field is tried, so that each one that cannot be stored is reported.
            done = Report([&] { row.SetValue(i, value); }) && done;
        }
    }
    if (done)
        done = Report([&] { row.Update(); });
    if (done && screen.lines)
        done = Report([&] { screen.lines->Save(m_context, screen, id); });
    if (done)
        done = Report([&] { screen.rules->AfterSave(m_context, m_host, screen, row); });
    if (done)
        done = Report([&] { unit->Commit(); });
    return done;
}

} // namespace kivo
