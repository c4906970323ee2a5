// Showing a record, preparing a new one and the look-up captions beside id fields.
#include "DateText.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenHost.h"
#include "ValueText.h"

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
    return ValueText(value);
}

} // namespace

void RecordEngine::ShowRecord(RecordScreen& screen)
{
    Recordset row(m_context.connection);
    QString id;
    const bool loaded = Report([&] {
        id = screen.list->Text(QStringLiteral("EId"));
        OpenRow(row, screen, id);
    });
    if (loaded) {
        // One step per field: a column that cannot be shown leaves the others shown. The
        // stored value is shown whole: what a field shows is what Save writes back.
        const int last = qMin(screen.lastField, screen.FieldCount() - 1);
        for (int i = 0; i <= last; ++i) {
            Report([&] {
                Field& field = screen.field(i);
                screen.ShowText(i, DisplayText(field.descriptor, row.Value(i)));
                if (field.descriptor == u"P") {
                    const QString file = m_context.locations.DocFolder + field.text;
                    field.picture = !field.text.isEmpty() && QFileInfo::exists(file) ? file : QString();
                }
            });
        }
        if (screen.lines)
            Report([&] { screen.lines->Show(m_context, screen, id); });
    }
    ShowPosition(screen);
    if (loaded)
        Report([&] { screen.rules->AfterShow(m_context, m_host, screen); });
    screen.NotifyChanged();
}

void RecordEngine::ClearRecord(RecordScreen& screen)
{
    if (screen.FieldCount() == 0)
        return;
    screen.ForgetShownTexts();
    screen.field(0).text = NewRecordText();
    const QString today = ShortDate(m_context.Today());
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
    if (screen.lines)
        Report([&] { screen.lines->Setup(m_context, screen); });
    Report([&] { screen.rules->AfterClear(m_context, m_host, screen); });
    screen.NotifyChanged();
}

void RecordEngine::ShowLookup(ProgramContext& context, RecordScreen& screen, int index, const QString& sql)
{
    TryStep(context.errors, [&] {
        Field& field = screen.fields.at(size_t(index));
        field.hint.clear();
        if (field.text.trimmed().isEmpty())
            return;
        const QString statement = sql.endsWith(u'\'') ? QString(sql + SqlQuote(field.text) + u'\'')
                                                      : QString(sql + SqlOperand(field.text));
        const QVariant name = context.connection.Scalar(statement);
        field.hint = name.typeId() == QMetaType::Double ? NumberText(name.toDouble()) : name.toString();
    });
}

bool RecordEngine::ShowCurrent(RecordScreen& screen)
{
    if (ListEmpty(screen)) {
        ResetEmptyScreen(screen);
        return false;
    }
    ShowRecord(screen);
    return true;
}

} // namespace kivo
