#include "Connection.h"
#include "DatabasePassword.h"
#include "ProgramRun.h"
#include "Recordset.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// Small templates of the test's own, so that what the PDF must show is known here.
const char* const Listing = R"kvr(report title="Listing" page=A4
parameter name=pEntName
parameter name=pFilter
band kind=pageheader height=6
field x=0 y=0 w=100 h=5 expr="'Filter: ' & pFilter"
band kind=detail height=5
field x=0 y=0 w=40 h=5 expr="PCode"
band kind=summary height=5
field x=0 y=0 w=60 h=5 expr="'rows ' & count()"
)kvr";

const char* const Daily = R"kvr(report title="Daily" page=A4
parameter name=pEntName
parameter name=pFilter
band kind=detail height=5
field x=0 y=0 w=40 h=5 expr="tBDate"
band kind=summary height=5
field x=40 y=0 w=40 h=5 expr="sum(tBNett)" format="#####0.00"
field x=90 y=0 w=40 h=5 expr="'days ' & count()"
)kvr";

QByteArray BillTemplate()
{
    QByteArray text = "report title=\"Bill\" page=roll width=80\n";
    for (const char* name : { "pEntName", "pHeader", "pMessage1", "pMessage2", "pFooter", "pTax1Name",
             "pTax2Name", "pEntLin1", "pEntLin2", "pQtyDec", "pEntLogo", "pBilRema" })
        text += QByteArray("parameter name=") + name + '\n';
    return text + "band kind=detail height=5\nfield x=0 y=0 w=60 h=5 expr=\"BPDesc\"\n";
}

} // namespace

class TestAdminReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_shop;
    Connection m_db;

    QStringList Column(const QString& statement)
    {
        QStringList values;
        Recordset rs(m_db);
        for (rs.Open(statement); !rs.Eof(); rs.MoveNext())
            values << rs.Text(0);
        return values;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_shop = m_dir.filePath(u"shop"_s);
        QCOMPARE(Admin({ u"init"_s, m_shop, u"--demo"_s, u"--today"_s, u"2026-03-05"_s }).exitCode, 0);
        for (const auto& [name, text] : { std::pair { "KiPro41.Kvr", QByteArray(Listing) },
                 std::pair { "KiDai69.Kvr", QByteArray(Daily) },
                 std::pair { "KiBil56.Kvr", BillTemplate() } }) {
            QFile file(m_shop + u"/Bin/"_s + QString::fromLatin1(name));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text);
        }
        m_db.Open(m_shop + u"/Kivo.Kvd"_s, DatabasePassword());
    }

    void productListing_data()
    {
        QTest::addColumn<QString>("group"); // "": every product
        QTest::newRow("every product") << QString();
        QTest::newRow("one group") << u"2"_s;
    }

    void productListing()
    {
        QFETCH(QString, group);
        const QString pdf = m_dir.filePath(u"41-%1.pdf"_s.arg(group));
        QStringList arguments { u"report"_s, m_shop, u"41"_s, u"--pdf"_s, pdf };
        if (!group.isEmpty())
            arguments << u"--value"_s << group;
        QCOMPARE(Admin(arguments).exitCode, 0);

        const QString text = PdfText(pdf);
        const QString where = group.isEmpty() ? QString() : u" Where PGId="_s + group;
        const QStringList codes = Column(u"Select PCode From ktProduct"_s + where);
        QVERIFY(!codes.isEmpty());
        for (const QString& code : codes)
            QVERIFY2(text.contains(code), qPrintable(code));
        QVERIFY(text.contains(u"rows %1"_s.arg(codes.size())));
        if (group.isEmpty()) {
            QVERIFY(text.contains(u"Filter: -"_s));
            return;
        }
        const QString name = m_db.Scalar(u"Select GName From kmGroup Where EId="_s + group).toString();
        QVERIFY2(text.contains(u"Filter: "_s + group + u"- "_s + name), qPrintable(text.left(200)));
        for (const QString& code : Column(u"Select PCode From ktProduct Where PGId<>"_s + group))
            QVERIFY2(!text.contains(code + u'\n') && !text.contains(code + u' '), qPrintable(code));
    }

    void dailySalesBetweenDates()
    {
        const QString pdf = m_dir.filePath(u"69.pdf"_s);
        QCOMPARE(Admin({ u"report"_s, m_shop, u"69"_s, u"--from"_s, u"2026-02-01"_s, u"--to"_s,
                           u"2026-02-28"_s, u"--pdf"_s, pdf })
                     .exitCode,
            0);
        const QString text = PdfText(pdf);
        const QString range = u" From ktBillMast Where EDate Between #02/01/2026# And #02/28/2026#"_s;
        const double nett = m_db.Scalar(u"Select Sum(BNett)"_s + range).toDouble();
        const int days = m_db.Scalar(u"Select Count(Distinct EDate)"_s + range).toInt();
        QVERIFY(days > 0);
        QVERIFY2(text.contains(QString::number(nett, 'f', 2)), qPrintable(text.right(300)));
        QVERIFY(text.contains(u"days %1"_s.arg(days)));
        QVERIFY(!text.contains(u"2026-01-31"_s));
        QVERIFY(!text.contains(u"2026-03-01"_s));
    }

    void billByItsNumber()
    {
        const QString bill = m_db.Scalar(u"Select Max(EId) From ktBillMast"_s).toString();
        const QString pdf = m_dir.filePath(u"56.pdf"_s);
        QCOMPARE(Admin({ u"report"_s, m_shop, u"56"_s, u"--value"_s, bill, u"--pdf"_s, pdf }).exitCode, 0);
        const QString text = PdfText(pdf);
        const QStringList lines = Column(u"Select BPDesc From ktBillDetl Where EId="_s + bill);
        QVERIFY(!lines.isEmpty());
        for (const QString& line : lines)
            QVERIFY2(text.contains(line), qPrintable(line));
        const QStringList size = RunProgram(u"pdfinfo"_s, { pdf }).out.split(u'\n').filter(u"Page size"_s);
        QVERIFY2(!size.isEmpty() && size[0].contains(u" 227 x"_s), qPrintable(size.value(0))); // 80 mm wide
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after DIR; --pdf FILE is added unless "nopdf"
        QTest::addColumn<QString>("message");

        QTest::newRow("separator code") << QStringList { u"47"_s } << u"47 is no report code"_s;
        QTest::newRow("code not a number") << QStringList { u"abc"_s } << u"abc is no report code"_s;
        QTest::newRow("no such day") << QStringList { u"69"_s, u"--from"_s, u"2026-02-30"_s }
                                     << u"not a date"_s;
        QTest::newRow("start after end") << QStringList { u"69"_s, u"--from"_s, u"2026-03-02"_s, u"--to"_s,
            u"2026-03-01"_s } << u"Invalid Range !"_s;
        QTest::newRow("value on a date report")
            << QStringList { u"69"_s, u"--value"_s, u"3"_s } << u"--from and --to"_s;
        QTest::newRow("dates on a listing")
            << QStringList { u"41"_s, u"--from"_s, u"2026-03-01"_s } << u"--value"_s;
        QTest::newRow("bill id not a number")
            << QStringList { u"56"_s, u"--value"_s, u"1 Or 1=1"_s } << u"Invalid Criteria !"_s;
        QTest::newRow("bill without id") << QStringList { u"56"_s } << u"Select Criteria !"_s;
        QTest::newRow("unknown option")
            << QStringList { u"41"_s, u"--colour"_s, u"red"_s } << u"unknown option"_s;
        QTest::newRow("no pdf") << QStringList { u"41"_s, u"nopdf"_s } << u"--pdf FILE"_s;
        QTest::newRow("template missing") << QStringList { u"42"_s, u"missing"_s } << u"KiPro42.Kvr"_s;
    }

    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString pdf = m_dir.filePath(u"bad.pdf"_s);
        QFile::remove(pdf);
        if (arguments.removeAll(u"missing"_s))
            QFile::remove(m_shop + u"/Bin/KiPro42.Kvr"_s);
        if (!arguments.removeAll(u"nopdf"_s))
            arguments << u"--pdf"_s << pdf;
        const Outcome run = Admin(QStringList { u"report"_s, m_shop } + arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestAdminReport)
#include "tst_adminreport.moc"
