#include "SeedData.h"

#include "Connection.h"
#include "PasswordHash.h"
#include "Schema.h"

#include <QHash>
#include <QMutex>
#include <QPair>

namespace kivo {

namespace {

QVariant S(const char* text)
{
    return QVariant(QString::fromUtf8(text));
}

} // namespace

QString SeedSecret(const char* secret, PasswordHash::LetterCase letterCase)
{
    static QMutex guard;
    static QHash<QPair<QString, int>, QString> made;
    const QPair<QString, int> key(QString::fromUtf8(secret), int(letterCase));
    const QMutexLocker locked(&guard);
    auto found = made.constFind(key);
    if (found == made.cend())
        found = made.insert(key, PasswordHash::Make(key.first, letterCase));
    return *found;
}

// Inserts one row with every column of the table, in table order.
void InsertRow(Connection& connection, const QString& table, const QVariantList& values)
{
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks << QStringLiteral("?");
    connection.Execute(QStringLiteral("Insert Into %1 Values (%2)").arg(table, marks.join(u',')), values);
}

void SeedDefaults(Connection& connection, const QDate& today)
{
    const QVariant date(today);
    Transaction transaction(connection);
    InsertRow(connection, QStringLiteral("kaEnterprise"),
        { 1, date, S("My Shop"), S("MyShop"), S("Retail store"), S("Shop address line 1"),
            S("Address line 2"), S("City"), S("State"), S("Country"), S("0000000000"), S(""), S(""),
            SeedSecret("KIVO", PasswordHash::LetterCase::Keep), S("") });
    InsertRow(connection, QStringLiteral("kaPreference"),
        { 1, date, S("Thank you for shopping with us"), S("Exchange within 7 days with bill"),
            S("Please keep this bill"), S("Visit again"), S("Y"), S("Y"), 0.0, S("Y"), S("Y"), 0.0, S("Tax1"),
            0.0, S("Tax2"), S("2"), S("0"), S("S"), S("1"), S("INVOICE"), S("Y"), S("") });
    // Colours: the first sample of each row of the customize screen; text in blue.
    InsertRow(connection, QStringLiteral("kaCustomize"),
        { 1, date, QString::number(ColourSamples::BackColor[0]),
            QString::number(ColourSamples::BackTexture[0]), S("Verdana"), S("10"),
            QString::number(ColourSamples::TextColor[1]), S("Y"), S("Y"), S("Y"), S("Y"), S("Y"), S("Y"),
            S("Y"), S("") });
    InsertRow(connection, QStringLiteral("kaUser"),
        { 1, date, S(AdministratorLogin), SeedSecret(AdministratorPassword, PasswordHash::LetterCase::Ignore),
            S("kivo"), S("B"), S("Administrator"), S(""), S(""), S(""), S("") });
    transaction.Commit();
}

} // namespace kivo
