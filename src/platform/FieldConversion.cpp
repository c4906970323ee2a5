#include "FieldConversion.h"

#include "DateText.h"
#include "DbError.h"
#include "NumberText.h"

#include <cmath>
#include <limits>
#include <QDate>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Recordset");
    return source;
}

} // namespace

bool FieldTypeFromDeclared(const char* declared, FieldInfo& field)
{
    if (!declared)
        return false;
    const QString type = QString::fromUtf8(declared).trimmed().toUpper();
    if (type.startsWith(u"INT")) {
        field.type = FieldLong;
        field.definedSize = 4;
    } else if (type.startsWith(u"REAL") || type.startsWith(u"DOUBLE") || type.startsWith(u"NUM")) {
        field.type = FieldDouble;
        field.definedSize = 8;
    } else if (type.startsWith(u"DATE")) {
        field.type = FieldDate;
        field.definedSize = 8;
    } else {
        field.type = FieldText;
        field.definedSize = 255;
        const qsizetype open = type.indexOf(u'(');
        const qsizetype close = type.indexOf(u')');
        if (open > 0 && close > open) {
            bool ok = false;
            const int width = type.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
            if (ok && width > 0)
                field.definedSize = width;
        }
    }
    return true;
}

QVariant FieldVariant(int fieldType, StoredKind kind, qint64 integer, double real, QStringView text)
{
    switch (kind) {
    case StoredKind::Null:
        return {};
    case StoredKind::Integer:
        switch (fieldType) {
        case FieldDouble:
            return QVariant(double(integer));
        case FieldText:
            return QVariant(QString::number(integer));
        default:
            return QVariant(qlonglong(integer));
        }
    case StoredKind::Real:
        switch (fieldType) {
        case FieldLong:
            // A fraction in a long column (written by a statement, not by a recordset)
            // reads as the whole number a long assignment would have stored.
            return QVariant(qlonglong(RoundHalfEven(real, 0)));
        case FieldText:
            return QVariant(NumberText(real));
        default:
            return QVariant(real);
        }
    case StoredKind::Text:
        break;
    }
    if (fieldType == FieldDate) {
        // Stored as ISO text; a time part, if a statement wrote one, is not part of the date.
        const std::optional<qint64> day = IsoDayNumber(text.utf16(), text.size());
        if (day)
            return QVariant(QDate::fromJulianDay(*day));
    }
    return QVariant(text.toString());
}

StoredValue ConvertForField(const FieldInfo& field, const QVariant& value)
{
    StoredValue result;
    if (!value.isValid() || value.isNull())
        return result;
    const bool isText = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
    auto conversionError = [&]() {
        return DbError(DbErrorNumber::TypeConversion, Source(),
            QStringLiteral("Data type conversion error: '%1' for field %2")
                .arg(value.toString(), field.name));
    };
    switch (field.type) {
    case FieldLong:
    case FieldDouble: {
        double number;
        if (isText) {
            const QString text = value.toString();
            if (text.trimmed().isEmpty())
                return result; // an empty box stores no number
            const std::optional<double> parsed = ParseNumber(text);
            if (!parsed)
                throw conversionError();
            number = *parsed;
        } else {
            bool ok = false;
            number = value.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                throw conversionError();
        }
        if (field.type == FieldLong) {
            const double whole = RoundHalfEven(number, 0);
            if (whole > std::numeric_limits<qint32>::max() || whole < std::numeric_limits<qint32>::min())
                throw DbError(DbErrorNumber::TypeConversion, Source(),
                    QStringLiteral("Overflow: '%1' for field %2").arg(value.toString(), field.name));
            result.kind = StoredKind::Integer;
            result.integer = qint64(whole);
        } else {
            result.kind = StoredKind::Real;
            result.real = number;
        }
        return result;
    }
    case FieldDate: {
        QDate date;
        if (value.typeId() == QMetaType::QDate) {
            date = value.toDate();
            if (!date.isValid())
                return result; // no date
        } else if (value.typeId() == QMetaType::QDateTime) {
            date = value.toDateTime().date();
        } else if (isText) {
            const QString text = value.toString();
            if (text.trimmed().isEmpty())
                return result;
            // Only the short date form (or ISO) is read: "05/03/2026" means different days
            // in different places, so no other order is guessed.
            date = ParseShortDate(text);
        }
        if (!date.isValid())
            throw conversionError();
        result.kind = StoredKind::Text;
        result.text = date.toString(Qt::ISODate);
        return result;
    }
    default: {
        QString text;
        if (value.typeId() == QMetaType::QDate)
            text = ShortDate(value.toDate());
        else if (value.typeId() == QMetaType::Double)
            text = NumberText(value.toDouble());
        else
            text = value.toString();
        // The width counts characters; a character outside the basic plane takes two units.
        if (text.size() > field.definedSize && text.toUcs4().size() > field.definedSize)
            throw DbError(DbErrorNumber::FieldTooSmall, Source(),
                QStringLiteral(
                    "The field %1 is too small to accept the amount of data (%2 characters, %3 allowed)")
                    .arg(field.name)
                    .arg(text.toUcs4().size())
                    .arg(field.definedSize));
        result.kind = StoredKind::Text;
        result.text = std::move(text);
        return result;
    }
    }
}

} // namespace kivo
