#include "ImportState.h"

#include "Connection.h"
#include "CriterionBuilder.h"
#include "DateText.h"
#include "DbError.h"
#include "FieldConversion.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "StartupFiles.h"
#include "WorkbookReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace kivo {

namespace {

constexpr int ProgressEveryMs = 50;

QString HeadingText(const QVariant& cell, int column)
{
    QString name;
    if (cell.typeId() == QMetaType::Double)
        name = NumberText(cell.toDouble());
    else if (cell.typeId() == QMetaType::QDate)
        name = ShortDate(cell.toDate());
    else
        name = cell.toString().trimmed();
    // An unnamed column is named by its position, as the workbook provider names it.
    return name.isEmpty() ? QStringLiteral("F%1").arg(column + 1) : name;
}

int KindOf(const QVariant& cell)
{
    switch (cell.typeId()) {
    case QMetaType::Double:
        return FieldDouble;
    case QMetaType::QDate:
        return FieldDate;
    default:
        return FieldText;
    }
}

void Bind(Connection& connection, sqlite3_stmt* statement, int index, const StoredValue& value)
{
    int rc = SQLITE_OK;
    switch (value.kind) {
    case StoredKind::Null:
        rc = sqlite3_bind_null(statement, index);
        break;
    case StoredKind::Integer:
        rc = sqlite3_bind_int64(statement, index, value.integer);
        break;
    case StoredKind::Real:
        rc = sqlite3_bind_double(statement, index, value.real);
        break;
    case StoredKind::Text: {
        const QByteArray utf8 = value.text.toUtf8();
        rc = sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK)
        connection.ThrowEngineError(rc, QStringLiteral("KvImport"));
}

} // namespace

ImportState::ImportState(ProgramContext& context)
    : m_context(context)
{
    tables = context.locations.ImportTables;
}

void ImportState::ChooseFile(const QString& dialogResult)
{
    txtFile
        = dialogResult.compare(QStringLiteral("*.Xls"), Qt::CaseInsensitive) == 0 ? QString() : dialogResult;
}

int ImportState::ColumnType(int sheetColumn) const
{
    return sheetColumn >= 0 && size_t(sheetColumn) < m_types.size() ? m_types[size_t(sheetColumn)]
                                                                    : FieldText;
}

QVariant ImportState::Typed(const QVariant& cell, int sheetColumn) const
{
    if (cell.isNull())
        return {};
    const int type = ColumnType(sheetColumn);
    const int kind = KindOf(cell);
    if (kind == type)
        return cell;
    switch (type) {
    case FieldDouble:
        // Text in a number column counts when it is a number.
        if (kind == FieldText) {
            if (const std::optional<double> number = ParseNumber(cell.toString()))
                return *number;
        }
        return {};
    case FieldDate:
        if (kind == FieldText) {
            const QDate date = ParseShortDate(cell.toString().trimmed());
            if (date.isValid())
                return date;
        }
        return {};
    default:
        return kind == FieldDouble ? NumberText(cell.toDouble()) : ShortDate(cell.toDate());
    }
}

QString ImportState::CellText(const QVariant& typed, int sheetColumn) const
{
    if (typed.isNull())
        return {};
    switch (ColumnType(sheetColumn)) {
    case FieldDouble:
        return NumberText(typed.toDouble());
    case FieldDate:
        return ShortDate(typed.toDate());
    default:
        return typed.toString();
    }
}

void ImportState::ReportWorkbookProblem(const DbError& error)
{
    m_context.errors.ReportError(error);
    m_context.messages.Notice(QStringLiteral("Cannot Read ") + error.description + QStringLiteral(" !"));
}

void ImportState::List()
{
    const QString file = txtFile.trimmed();
    if (file.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("Select File !"));
        return;
    }
    m_file = file;
    m_listed = false;
    m_count = 0;
    m_headings.clear();
    m_types.clear();
    fieldNames.clear();
    selected.clear();
    m_sheetColumn.clear();
    m_filter = SheetFilter::All();
    m_model.Clear();
    countLabel = QStringLiteral(".");
    gridTip.clear();
    SqlText = QStringLiteral("Select * From [Sheet1$]");

    std::vector<QVariantList> preview;
    bool header = true;
    int count = 0;
    try {
        WorkbookReader::ReadSheet(m_file, [&](const QVariantList& cells) {
            if (header) {
                for (qsizetype c = 0; c < cells.size(); ++c)
                    m_headings << HeadingText(cells.at(c), int(c));
                header = false;
                return true;
            }
            if (int(preview.size()) < PreviewLimit)
                preview.push_back(cells.mid(0, m_headings.size()));
            ++count;
            return true;
        });
    } catch (const DbError& error) {
        ReportWorkbookProblem(error);
        return;
    }
    if (header) {
        ReportWorkbookProblem(DbError(DbErrorNumber::FileError, QStringLiteral("Workbook"),
            QFileInfo(m_file).fileName() + QStringLiteral(": the sheet Sheet1 is empty")));
        return;
    }

    // Each column takes the type most of its first rows hold; a tie goes to text.
    for (qsizetype c = 0; c < m_headings.size(); ++c) {
        int numbers = 0, dates = 0, texts = 0;
        for (size_t r = 0; r < preview.size() && r < size_t(TypeGuessRows); ++r) {
            const QVariant& cell = preview[r].value(c);
            if (cell.isNull())
                continue;
            const int kind = KindOf(cell);
            (kind == FieldDouble ? numbers : kind == FieldDate ? dates : texts)++;
        }
        m_types.push_back(numbers > dates && numbers > texts ? FieldDouble
                : dates > numbers && dates > texts           ? FieldDate
                                                             : FieldText);
    }
    for (qsizetype c = 0; c < m_headings.size(); ++c) {
        if (m_headings.at(c).contains(QStringLiteral("Passcd"), Qt::CaseInsensitive))
            continue;
        fieldNames << m_headings.at(c);
        m_sheetColumn.push_back(int(c));
    }
    selected.assign(size_t(fieldNames.size()), false);
    if (!selected.empty())
        selected[0] = true;
    crita = 0;
    op = 0;
    m_listed = true;
    m_count = count;
    ShowPreview(preview);
    ShowCount();
}

void ImportState::ShowPreview(const std::vector<QVariantList>& rows)
{
    m_model.Reset(m_headings);
    for (const QVariantList& cells : rows) {
        QStringList texts;
        for (qsizetype c = 0; c < m_headings.size(); ++c) {
            // The grid's forms: numbers with two decimals, dates in the short date form.
            const QVariant typed = Typed(cells.value(c), int(c));
            texts << (ColumnType(int(c)) == FieldDouble && !typed.isNull() ? FormatNumber(typed.toDouble())
                                                                           : CellText(typed, int(c)));
        }
        m_model.Append(std::move(texts));
    }
    m_model.Finish();
}

void ImportState::ShowCount()
{
    if (m_count <= PreviewLimit) {
        countLabel = QString::number(m_count);
        gridTip.clear();
    } else {
        countLabel = QStringLiteral(">1000");
        gridTip = QStringLiteral("Partial Record List");
    }
    m_context.messages.Notice(QStringLiteral("Total Records: ") + QString::number(m_count));
}

bool ImportState::ReadRows(const SheetFilter& filter, const RowSink& row)
{
    bool header = true;
    QVariantList typed;
    try {
        WorkbookReader::ReadSheet(m_file, [&](const QVariantList& cells) {
            if (header) {
                header = false;
                return true;
            }
            typed.clear();
            for (qsizetype c = 0; c < m_headings.size(); ++c)
                typed << Typed(cells.value(c), int(c));
            if (!filter.Matches(typed.value(filter.Column())))
                return true;
            return row(typed);
        });
    } catch (const DbError& error) {
        ReportWorkbookProblem(error);
        return false;
    }
    return true;
}

void ImportState::Filter()
{
    if (!m_listed) {
        m_context.messages.Notice(QStringLiteral("List Records !"));
        return;
    }
    if (m_count == 0) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    const int column = qBound(0, crita, int(fieldNames.size()) - 1);
    const int sheetColumn = m_sheetColumn[size_t(column)];
    const QStringList& operators = CriterionBuilder::Operators();
    const QString oper = operators.value(op, operators.first());
    const std::optional<SheetFilter> filter
        = SheetFilter::Make(sheetColumn, ColumnType(sheetColumn), oper, txtCrita);
    const std::optional<QString> criterion
        = CriterionBuilder::Build(fieldNames.at(column), ColumnType(sheetColumn), oper, txtCrita);
    if (!filter || !criterion) {
        m_context.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return;
    }
    SqlText = QStringLiteral("Select * From [Sheet1$] Where ") + *criterion;
    std::vector<QVariantList> preview;
    int count = 0;
    if (!ReadRows(*filter, [&](const QVariantList& cells) {
            if (int(preview.size()) < PreviewLimit)
                preview.push_back(cells);
            ++count;
            return true;
        }))
        return;
    m_filter = *filter;
    m_count = count;
    ShowPreview(preview);
    ShowCount();
}

void ImportState::SelectAll()
{
    selected.assign(size_t(fieldNames.size()), true);
}

void ImportState::Import(const std::function<void(const QString&)>& progress)
{
    if (std::find(selected.begin(), selected.end(), true) == selected.end()) {
        m_context.messages.Notice(QStringLiteral("Select Fields !"));
        return;
    }
    if (!m_listed) {
        m_context.messages.Notice(QStringLiteral("List Records !"));
        return;
    }
    if (m_count == 0) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    Connection& connection = m_context.connection;
    const QString tableName = QStringLiteral("kt") + tables.value(table);
    Recordset columns(connection);
    if (!TryStep(m_context.errors, [&] {
            columns.Open(QStringLiteral("Select * From ") + tableName + QStringLiteral(" Where 1=2"));
        }))
        return;

    // Each chosen sheet column lands in the table column of the same name, letter case aside.
    struct Mapping {
        int sheetColumn;
        int field; // index among the table's fields
    };
    std::vector<Mapping> mappings;
    QString invalid;
    for (qsizetype i = 0; i < fieldNames.size(); ++i) {
        if (!selected[size_t(i)])
            continue;
        const int field = columns.FieldIndex(fieldNames.at(i));
        if (field < 0) {
            invalid += fieldNames.at(i) + u'\n';
            continue;
        }
        // The record id is the database's to give.
        if (fieldNames.at(i).compare(QStringLiteral("EId"), Qt::CaseInsensitive) != 0)
            mappings.push_back({ m_sheetColumn[size_t(i)], field });
    }
    if (!invalid.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("Invalid Fields:\n\n") + invalid);
        return;
    }
    if (!m_context.messages.Ask(QStringLiteral("Confirm Import ?")))
        return;
    frameEnabled = false;

    // Defaults by type: 0 in a number, today in a date, "-" in text. EId is left out.
    std::vector<FieldInfo> fields;
    QStringList names, marks;
    std::vector<int> slot(size_t(columns.FieldCount()), -1);
    for (int f = 0; f < columns.FieldCount(); ++f) {
        const FieldInfo& info = columns.Field(f);
        if (info.name.compare(QStringLiteral("EId"), Qt::CaseInsensitive) == 0)
            continue;
        slot[size_t(f)] = int(fields.size());
        fields.push_back(info);
        names << info.name;
        marks << QStringLiteral("?");
    }
    std::vector<StoredValue> defaults;
    TryStep(m_context.errors, [&] {
        for (const FieldInfo& info : fields)
            defaults.push_back(ConvertForField(info,
                info.type == FieldLong || info.type == FieldDouble ? QVariant(0)
                    : info.type == FieldDate                       ? QVariant(m_context.Today())
                                                                   : QVariant(QStringLiteral("-"))));
    });
    if (defaults.size() != fields.size()) {
        frameEnabled = true;
        return;
    }
    const QString insert = QStringLiteral("INSERT INTO ") + tableName + QStringLiteral(" (")
        + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", "))
        + u')';

    // New products keep the stock rule: their closing quantity follows from the opening,
    // purchased and sold quantities they are given (0 where the sheet has none).
    const auto SlotOf = [&](const char* name) {
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == QLatin1String(name))
                return int(i);
        return -1;
    };
    const bool products = tableName == u"ktProduct";
    const int opening = SlotOf("POpenQty"), purchased = SlotOf("PPurchQty"), sold = SlotOf("PSaleQty"),
              closing = SlotOf("PCloseQty");
    const auto Quantity = [](const std::vector<StoredValue>& row, int at) {
        const StoredValue& value = row[size_t(at)];
        return value.kind == StoredKind::Integer ? double(value.integer)
            : value.kind == StoredKind::Real     ? value.real
                                                 : 0.0;
    };

    int counter = 0;
    int listed = 0;
    bool completed = false;
    // The first row the table refuses is reported at once; the others are counted and reported
    // together at the end, so a sheet of many bad rows does not stop the import at every one.
    int refused = 0;
    int laterRefused = 0;
    QStringList laterRows;
    DbError later(0, QString(), QString());
    const auto RowRefused = [&](const DbError& error) {
        if (refused++ == 0) {
            m_context.errors.ReportError(error.number, error.source,
                QStringLiteral("Listed row %1: ").arg(listed) + error.description);
            return;
        }
        if (laterRefused++ == 0)
            later = error;
        if (laterRows.size() < 20)
            laterRows << QString::number(listed);
    };
    QElapsedTimer sinceShown;
    sinceShown.start();
    TryStep(m_context.errors, [&] {
        Transaction import(connection);
        StatementHandle statement = connection.Prepare(insert);
        std::vector<StoredValue> values;
        // A workbook that cannot be read to its end keeps none of its rows.
        const bool read = ReadRows(m_filter, [&](const QVariantList& cells) {
            values = defaults;
            // A row the table cannot take is reported and left out; the rest go on.
            // The row is converted first and then written by one INSERT, which the engine
            // applies whole or not at all inside the import's transaction: that statement is
            // the row's savepoint. A named savepoint as well would copy every page the row
            // touches into the (encrypted) savepoint journal, tripling the import's time.
            ++listed;
            try {
                for (const Mapping& mapping : mappings) {
                    // Cells the sheet holds as dates are not taken over.
                    if (ColumnType(mapping.sheetColumn) == FieldDate)
                        continue;
                    const QVariant& cell = cells.at(mapping.sheetColumn);
                    if (cell.isNull())
                        continue;
                    const int at = slot[size_t(mapping.field)];
                    // A number goes over as the number it is; text trimmed, and only when not blank.
                    if (cell.typeId() == QMetaType::Double) {
                        values[size_t(at)] = ConvertForField(fields[size_t(at)], cell);
                        continue;
                    }
                    const QString text = cell.toString().trimmed();
                    if (text.isEmpty())
                        continue;
                    values[size_t(at)] = ConvertForField(fields[size_t(at)], text);
                }
                if (products && opening >= 0 && purchased >= 0 && sold >= 0 && closing >= 0)
                    values[size_t(closing)] = ConvertForField(fields[size_t(closing)],
                        Quantity(values, opening) + Quantity(values, purchased) - Quantity(values, sold));
                sqlite3_stmt* insertRow = statement.get();
                sqlite3_reset(insertRow);
                for (size_t i = 0; i < values.size(); ++i)
                    Bind(connection, insertRow, int(i) + 1, values[i]);
                const int rc = sqlite3_step(insertRow);
                if (rc != SQLITE_DONE) {
                    sqlite3_reset(insertRow);
                    connection.ThrowEngineError(rc, QStringLiteral("KvImport"));
                }
                ++counter;
            } catch (const DbError& error) {
                RowRefused(error);
            } catch (const std::exception& error) {
                RowRefused(DbError(ErrorNumber::Unexpected, QStringLiteral("KvImport"),
                    QString::fromLocal8Bit(error.what())));
            }
            if (progress && sinceShown.elapsed() >= ProgressEveryMs) {
                progressLabel = QString::number(counter) + QStringLiteral("..");
                progress(progressLabel);
                sinceShown.restart();
            }
            return true;
        });
        if (!read)
            return;
        if (laterRefused > 0)
            m_context.errors.ReportError(later.number, later.source,
                QStringLiteral("%1 more listed rows were not imported (rows %2%3); the first: %4")
                    .arg(laterRefused)
                    .arg(laterRows.join(QStringLiteral(", ")),
                        laterRefused > laterRows.size() ? QStringLiteral(", ...") : QString(),
                        later.description));
        import.Commit();
        completed = true;
    });
    if (!completed) {
        // Nothing of this import is kept; it can simply be run again.
        frameEnabled = true;
        return;
    }
    progressLabel = QString::number(counter) + QStringLiteral("..");
    if (progress)
        progress(progressLabel);
    m_context.messages.Notice(QStringLiteral("Done !"));
    const QString archive = TodaysArchiveFile(m_context.locations, m_context.Today());
    if (QFile::exists(archive)) {
        QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::remove(archive))
            m_context.errors.ReportError(DbErrorNumber::FileError, QStringLiteral("KvImport"),
                QStringLiteral("Cannot delete ") + archive);
    }
    m_context.messages.Notice(QStringLiteral("Closing App...\nDB Refresh Required !"));
    Close();
    endProgram = true;
}

void ImportState::Close()
{
    closed = true;
}

} // namespace kivo
