#pragma once
// The rows the document tests seed, in their tables' column order: a product, the customer
// and the supplier the documents name, and document lines.
#include "../recordengine/EngineFixture.h"
#include "Settings.h"

#include <memory>
#include <QDate>
#include <QTest>
#include <QVariantList>

namespace kivo::test {

inline const QDate Day(2026, 2, 1);

// A product in stock (opening and closing quantity `stock`), taxable and active.
inline QVariantList ProductRow(int id, const QString& code, double purchase, double sale, int stock,
    const QString& name = QStringLiteral("Item"))
{
    const QString none = QStringLiteral("-");
    return { id, Day, code, name, 1, QStringLiteral("Pcs"), purchase, sale, stock, 0, 0, stock, 0,
        QStringLiteral("T"), Day, none, none, QStringLiteral("Y"), none };
}

// Customer 3, Ann Lee, phone 5550001.
inline QVariantList CustomerRow()
{
    const QString none = QStringLiteral("-");
    return { 3, Day, QStringLiteral("Ann Lee"), none, none, none, none, none, QStringLiteral("5550001"), none,
        QStringLiteral("C1"), QStringLiteral("Y"), none };
}

// Supplier 2, Acme Foods.
inline QVariantList SupplierRow()
{
    const QString none = QStringLiteral("-");
    return { 2, Day, QStringLiteral("Acme Foods"), none, none, none, none, none, none, none, none, none, none,
        QStringLiteral("S1"), QStringLiteral("Y"), none };
}

// A taxable line of document `id` without discount.
inline QVariantList LineRow(
    int id, const QString& code, double qty, double rate, const QString& name = QStringLiteral("Item"))
{
    return { id, Day, QStringLiteral("x"), code, name, qty, rate, qty * rate, 0.0, qty * rate,
        QStringLiteral("T") };
}

// A document screen with its billing or purchase panel, on a fresh engine for each test.
template <typename Panel> struct PanelFixture {
    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<Panel> panel;

    RecordScreen& screen() { return *f->screen; }
    QString Sql(const QString& statement) { return f->Scalar(statement).toString(); }

    void StartEngine()
    {
        f = std::make_unique<EngineFixture>();
        LoadPreferences(f->context());
        LoadCustomize(f->context());
    }
    // The screen as the program opens it, panel included, showing document `id`.
    void OpenOn(const QString& screenName, int id)
    {
        f->screen = BuildRecordScreen(screenName);
        panel = std::make_unique<Panel>(f->context(), f->engine, screen());
        f->engine.OpenRecordScreen(screen());
        f->host.findBox = QString::number(id);
        f->Command(CommandNumber::Find);
        QCOMPARE(screen().Text(0), QString::number(id));
    }
    void StopEngine()
    {
        if (f->screen)
            f->engine.CloseRecordScreen(screen());
        panel.reset();
        f.reset();
    }
};

} // namespace kivo::test
