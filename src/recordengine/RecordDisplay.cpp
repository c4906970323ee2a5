// Showing a record, preparing a new one and the look-up captions beside id fields.
#include "DateText.h"
#include "NumberText.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenHost.h"
#include "Session.h"

#include <QFileInfo>

namespace kivo {

namespace {

// A column's value as field text for its descriptor. A null shows as an empty field for
// every descriptor: a missing date is no date and a missing amount is not "0.00".
QString DisplayText(const QString& descriptor, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (descriptor == u"F") {
        std::optional<double> number;
        if (value.typeId() == QMetaType::QString)
            number = ParseNumber(value.toString());
        else if (value.typeId() != QMetaType::QDate)
            number = value.toDouble();
        if (number)
            return FormatNumber(*number);
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return ShortDate(value.toDate());
    case QMetaType::Double:
        return NumberText(value.toDouble());
    default:
        return value.toString();
    }
}

} // namespace

void RecordEngine::ShowRecord(RecordScreen& screen)
{
    Recordset& list = m_session.rsScreen;
    Recordset& work = m_session.rsWork;
    const bool loaded = Report([&] {
        const QString id = list.Text(QStringLiteral("EId"));
        work.Close();
        work.Open(QStringLiteral("Select * From ") + screen.table + QStringLiteral(" Where EId= ") + id);
        if (work.Eof())
            throw DbError(DbErrorNumber::NoCurrentRecord, screen.table,
                QStringLiteral("Record %1 is no longer in %2").arg(id, screen.table));
    });
    if (loaded) {
        // One step per field: a column that cannot be shown leaves the others shown.
        const int last = qMin(screen.lastField, screen.FieldCount() - 1);
        for (int i = 0; i <= last; ++i) {
            Report([&] {
                Field& field = screen.field(i);
                screen.SetText(i, DisplayText(field.descriptor, work.Value(i)));
                if (field.descriptor == u"P") {
                    const QString file = m_session.locations.DocFolder + field.text;
                    field.picture = !field.text.isEmpty() && QFileInfo::exists(file) ? file : QString();
                }
            });
        }
        if (!screen.detailTable.isEmpty())
            Report([&] { ShowDocumentLines(screen); });
    }
    ShowPosition();
    if (loaded)
        Report([&] { screen.RunRules(m_session, m_host, QStringLiteral("DL")); });
    work.Close();
    m_session.rsDetail.Close();
    screen.NotifyChanged();
}

void RecordEngine::ClearRecord(RecordScreen& screen)
{
    if (screen.FieldCount() == 0)
        return;
    screen.field(0).text = NewRecordText();
    const QString today = ShortDate(Today());
    // Every field, those beyond the last saved one included (a document's payment panel).
    for (int i = 1; i < screen.FieldCount(); ++i) {
        Field& field = screen.field(i);
        const QString& code = field.descriptor;
        QString text;
        if (code == u"D")
            text = today;
        else if (code == u"I")
            text = QStringLiteral("0");
        else if (code == u"F")
            text = QStringLiteral("0.00");
        else if (code == u"S")
            text = field.column; // the field's default value
        if (code == u"M")
            field.hint = QStringLiteral(".");
        if (code == u"P")
            field.picture.clear();
        screen.SetText(i, text);
    }
    Report([&] { screen.RunRules(m_session, m_host, QStringLiteral("DI")); });
    screen.NotifyChanged();
}

void RecordEngine::ShowLookup(Session& session, RecordScreen& screen, int index, const QString& sql)
{
    TryStep(session.errors, [&] {
        Field& field = screen.fields.at(size_t(index));
        field.hint.clear();
        if (field.text.trimmed().isEmpty())
            return;
        const QString statement = sql.endsWith(u'\'') ? QString(sql + SqlQuote(field.text) + u'\'')
                                                      : QString(sql + SqlOperand(field.text));
        const QVariant name = session.connection.Scalar(statement);
        field.hint = name.typeId() == QMetaType::Double ? NumberText(name.toDouble()) : name.toString();
    });
}

bool RecordEngine::ShowCurrent(RecordScreen& screen)
{
    if (ScreenListEmpty()) {
        ResetEmptyScreen(screen);
        return false;
    }
    ShowRecord(screen);
    return true;
}

// The document screens' line grid (its rows from rsDetail, the running totals, saving the
// lines and posting their stock) belongs with those screens. Until they exist a document
// shows, recounts, deletes and saves no lines here.

void RecordEngine::ShowDocumentLines(RecordScreen&) { }

void RecordEngine::RecountDocumentLines(RecordScreen&) { }

void RecordEngine::DeleteDocumentLines(RecordScreen&, const QString&) { }

void RecordEngine::SaveDocumentLines(RecordScreen&, const QString&) { }

bool RecordEngine::DocumentHasNoLines(const RecordScreen&) const
{
    return false;
}

} // namespace kivo
