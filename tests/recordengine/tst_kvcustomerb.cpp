// The customer screen's window: a phone typed and searched, the details completed and saved
// as a user does it, and Escape leaving the stored customer as it was.
#include "EngineFixture.h"
#include "KvCustomerB.h"
#include "RecordScreenView.h"
#include "Settings.h"
#include "ShopRows.h"

#include <memory>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {
using F = CustomerBState::FieldNumber;
}

class TestKvCustomerB : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<KvCustomerB> window;

    QLineEdit* Box(int field) { return window->view()->valueBox(field); }
    QVariant Scalar(const QString& sql) { return f->Scalar(sql); }

    void Show()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    // A look for whoever works on the window: KIVO_SHOT_DIR names a folder for a picture.
    void Picture(const char* name)
    {
        const QString folder = qEnvironmentVariable("KIVO_SHOT_DIR");
        if (!folder.isEmpty())
            window->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
    }

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        // The shop's look, as the program has it after the login.
        LoadCustomize(f->context());
        window = std::make_unique<KvCustomerB>(f->context(), f->engine);
        AddCustomer(f->db(), 1, u"Ann Lee"_s, u"5550001"_s, u"C07010001"_s);
    }
    void cleanup()
    {
        window.reset();
        f.reset();
    }

    void standAloneSearchCreateAndSave()
    {
        window->state().OpenStandAlone();
        Show();
        QPushButton* search = window->view()->button(F::PhoneField);
        QVERIFY(search->isVisible());
        QCOMPARE(search->text(), u"Search      >"_s);
        QCOMPARE(search->accessibleName(), u"Search"_s);
        QCOMPARE(window->saveButton()->accessibleName(), u"Save"_s);
        QVERIFY(!window->saveButton()->isEnabled());
        QVERIFY(!window->view()->button(F::ActiveField)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), Box(F::PhoneField));
        QCOMPARE(Box(F::PhoneField)->palette().color(QPalette::Base), RecordScreenView::FocusColour());

        QTest::keyClicks(Box(F::PhoneField), u"9876543210"_s);
        f->messages().Answer(true);
        QTest::keyClick(Box(F::PhoneField), Qt::Key_Return);

        QCOMPARE(QApplication::focusWidget(), Box(F::NameField));
        QVERIFY(Box(F::PhoneField)->isReadOnly());
        QVERIFY(!search->isEnabled());
        QVERIFY(window->saveButton()->isEnabled());
        Picture("kvcustomerb-created.png");

        QTest::keyClicks(Box(F::NameField), u"Eve Moss"_s);
        QTest::mouseClick(window->view()->button(F::ActiveField), Qt::LeftButton);
        QTest::mouseClick(window->view()->button(F::ActiveField), Qt::LeftButton);
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);

        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(window->state().SavedName(), u"Eve Moss"_s);
        QCOMPARE(
            Scalar(u"Select CName || ' ' || CActive From ktCustomer Where CPhone='9876543210'"_s).toString(),
            u"Eve Moss N"_s);
    }

    void escapeWritesNothing()
    {
        window->state().OpenOnPhone(u"5550001"_s);
        Show();
        QVERIFY(!window->view()->button(F::PhoneField)->isVisible());
        QCOMPARE(Box(F::NameField)->text(), u"Ann Lee"_s);
        Picture("kvcustomerb-from-billing.png");
        Box(F::NameField)->setFocus();
        QTest::keyClicks(Box(F::NameField), u"Zed"_s);
        QTest::keyClick(Box(F::NameField), Qt::Key_Escape);

        QCOMPARE(window->result(), int(QDialog::Rejected));
        QVERIFY(!window->isVisible());
        QCOMPARE(Scalar(u"Select CName From ktCustomer Where EId=1"_s).toString(), u"Ann Lee"_s);
    }
};

QTEST_MAIN(TestKvCustomerB)
#include "tst_kvcustomerb.moc"
