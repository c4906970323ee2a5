#include "ReportCatalogue.h"

namespace kivo {

namespace {

// Bill Print (S), Bill Print (L), Packing List and Gift Receipt read the same rows: every line
// of one bill with the bill's columns and the customer's name and address.
const char16_t* const BillLines
    = u"Select a.*,b.*,c.CName,c.CAddress,c.CCity,c.CState,c.CCountry,c.CZipCode"
      u" From ktBillMast a,ktBillDetl b,ktCustomer c Where a.EId=b.EId And a.BCId=c.EId ";

struct Row {
    int code;
    const char16_t* title;
    CriterionGroup group;
    bool criterionNeeded;
    const char16_t* head;
    const char16_t* tail;
    ParameterKind parameters;
};

using G = CriterionGroup;
using P = ParameterKind;

// The pieces of each statement are joined exactly as written: the alias "a" always names the
// table that carries the criterion column, so " And ( a.<column> ... ) " fits between them.
const Row Rows[] = {
    { 41, u"Product Listing", G::ProductGroup, false,
        u"Select EId,EDate,PCode,PName,PUom,PLocation,PTax,PActive"
        u" From ktProduct a Where 1=1 ",
        u" Order By a.PCode", P::Standard },
    { 42, u"Product Rates", G::ProductGroup, false,
        u"Select EId,PCode,PName,PPurchRate,PSaleRate "
        u" From ktProduct a Where 1=1 ",
        u" Order By a.PCode", P::Standard },
    { 43, u"Product Ledger", G::ProductGroup, false,
        u"Select EId,PCode,PName,POpenQty,PPurchQty,PSaleQty,PCloseQty"
        u" From ktProduct a Where 1=1 ",
        u" Order By a.PCode", P::Standard },
    { 44, u"Reorder Listing", G::ProductGroup, false,
        u"Select EId,PCode,PName,PSaleQty,PCloseQty,POrderQty From ktProduct a"
        u" Where 1=1 And PCloseQty <= POrderQty ",
        u" Order By a.PCode", P::Standard },
    { 45, u"Stock Counting", G::ProductGroup, false,
        u"Select EId,PCode,PName,PUom,PLocation,PActive,PCloseQty"
        u" From ktProduct a Where 1=1 ",
        u" Order By a.PCode", P::Standard },
    { 46, u"Current Stock", G::ProductGroup, false,
        u"Select EId,PCode,PName,PPurchRate,PSaleRate,PCloseQty"
        u" From ktProduct a Where 1=1 ",
        u" Order By a.PCode", P::Standard },
    { 48, u"Coupon Print", G::DocumentNumber, true, u"Select * From ktCoupon a Where 1=1 ", u"",
        P::Standard },
    { 49, u"Coupon Listing", G::DateRange, false,
        u"Select EId,EDate,CReference,CHead,CValid"
        u" From ktCoupon a Where 1=1 ",
        u"", P::Standard },
    { 51, u"Customer List", G::DateRange, false,
        u"Select EId,EDate,CName,CPhone,CCity,CZipCode"
        u" From ktCustomer a Where 1=1 ",
        u" Order By a.CName", P::Standard },
    { 52, u"Customer Quotes", G::DateRange, false,
        u"Select a.EId,a.EDate,a.QRef,a.QCId,a.QGross,a.QDiscount, "
        u" a.QTax1,a.QTax2,a.QNett,a.QStatus,b.CName From ktQuotMast a,ktCustomer b"
        u" Where 1=1 And a.QCId=b.EId ",
        u"", P::Standard },
    { 53, u"Supplier List", G::DateRange, false,
        u"Select EId,EDate,SCompany,SPerson,SCity,SCountry,SZipCode"
        u" From ktSupplier a Where 1=1 ",
        u" Order By a.SCompany", P::Standard },
    { 54, u"Supplier Orders", G::DateRange, false,
        u"Select a.EId,a.EDate,a.ORef,a.OSId,a.OItems,a.OGross,a.OStatus,b.SCompany"
        u" From ktOrdrMast a,ktSupplier b Where 1=1 And a.OSId=b.EId ",
        u"", P::Standard },
    { 56, u"Bill Print (S)", G::DocumentNumber, true, BillLines, u"", P::Document },
    { 57, u"Bill Print (L)", G::DocumentNumber, true, BillLines, u"", P::Document },
    { 58, u"Packing List", G::DocumentNumber, true, BillLines, u"", P::Document },
    { 59, u"Bill Listing", G::DateRange, false,
        u"Select EId,EDate,BReceipt,BGross,BDiscount,BTax1,BTax2,BNett"
        u" From ktBillMast a Where 1=1 ",
        u"", P::Standard },
    { 60, u"Quote Print", G::DocumentNumber, true,
        u"Select a.*,b.*,c.CName,c.CAddress,c.CCity,c.CState,c.CCountry,c.CZipCode"
        u" From ktQuotMast a,ktQuotDetl b,ktCustomer c Where a.EId=b.EId And a.QCId=c.EId ",
        u"", P::Document },
    { 61, u"Quote Listing", G::DateRange, false,
        u"Select EId,EDate,QRef,QGross,QDiscount,QTax1,QTax2,QNett,QStatus"
        u" From ktQuotMast a Where 1=1 ",
        u"", P::Standard },
    { 63, u"Purchase Print", G::DocumentNumber, true,
        u"Select a.*,b.*,c.SCompany,c.SAddress,c.SCity,c.SState,c.SCountry,c.SZipCode"
        u" From ktPurcMast a,ktPurcDetl b,ktSupplier c Where a.EId=b.EId And a.PSId=c.EId ",
        u"", P::Document },
    { 64, u"Purchase Listing", G::DateRange, false,
        u"Select EId,EDate,PReceipt,PItems,PGross,PTax,PNett"
        u" From ktPurcMast a Where 1=1 ",
        u"", P::Standard },
    { 65, u"Order Print", G::DocumentNumber, true,
        u"Select a.*,b.*,c.SCompany,c.SAddress,c.SCity,c.SState,c.SCountry,c.SZipCode"
        u" From ktOrdrMast a,ktOrdrDetl b,ktSupplier c Where a.EId=b.EId And a.OSId=c.EId ",
        u"", P::Document },
    { 66, u"Order Listing", G::DateRange, false,
        u"Select EId,EDate,ORef,OItems,OGross,OStatus"
        u" From ktOrdrMast a Where 1=1 ",
        u"", P::Standard },
    { 68, u"Recon Report", G::DateRange, false,
        u"SELECT a.BUId,b.ULogin,Count(a.BUId) as tBCount,Sum(a.BCash) as tBCash,"
        u" Sum(a.BCredit) as tBCredit,Sum(a.BOther) as tBOther,Sum(a.BMisc) as tBMisc,"
        u" Sum(a.BReturn) as tBReturn,Sum(a.BNett) as tBNett FROM ktBillMast as a,kaUser as b "
        u" WHERE a.BUId=b.EId ",
        u" GROUP BY a.BUId,b.ULogin", P::Standard },
    { 69, u"Daily Sales", G::DateRange, false,
        u"SELECT a.EDate as tBDate,Count(a.EDate) as tBCount,Sum(a.BGross) as tBGross,"
        u" Sum(a.BDiscount) as tBDiscount,Sum(a.BTotal) as tBTotal,Sum(a.BTax1+a.BTax2) as tBTax,"
        u" Sum(a.BNett) as tBNett FROM ktBillMast as a "
        u" WHERE a.EId=a.EId ",
        u" GROUP BY a.EDate", P::Standard },
    { 70, u"Monthly Sales", G::DateRange, false,
        u"SELECT Year(a.EDate) as tBYear,Month(a.EDate) as tBMonth,Count(a.EDate) as tBCount,"
        u" Sum(a.BGross) as tBGross,Sum(a.BDiscount) as tBDiscount,Sum(a.BTotal) as tBTotal,"
        u" Sum(a.BTax1+a.BTax2) as tBTax,Sum(a.BNett) as tBNett FROM ktBillMast as a"
        u" WHERE a.EId=a.EId ",
        u" GROUP BY Year(a.EDate),Month(a.EDate)", P::Standard },
    { 71, u"Product Sales", G::DateRange, false,
        u"SELECT b.PGId,a.BPId,a.BPDesc,Sum(a.BQty) as tBQty,Sum(a.BGross) as tBGross"
        u" FROM  ktBillDetl as a,ktProduct as b WHERE a.BPID=b.PCode ",
        u" GROUP BY b.PGId,a.BPId,a.BPDesc", P::Standard },
    { 72, u"Group Sales", G::DateRange, false,
        u"SELECT b.PGId,c.GName,Sum(a.BQty) as tBQty,Sum(a.BGross) as tBGross"
        u" FROM  ktBillDetl as a, ktProduct as b,kmGroup as c WHERE a.BPID=b.PCode and"
        u" b.PGId=c.EId ",
        u" GROUP BY b.PGId,c.GName", P::Standard },
    { 73, u"Paytype List", G::DateRange, false,
        u"Select a.EId,a.EDate,BNett,BOType,BOther,BMType,BMisc,CName,CPhone"
        u" From ktBillMast a,ktCustomer b Where a.BCID=b.EId And (BOther<>0 OR BMisc<>0) ",
        u" ORDER BY CPhone", P::Standard },
    { 75, u"Fast-Slow Item", G::DateRange, false,
        u"SELECT b.PGId,b.PCode,b.PName,Sum(a.BQty) as tBQty,Sum(a.BGross) as tBGross"
        u" FROM ktProduct as b,ktBillDetl as a WHERE b.PCode = a.BPID ",
        u" GROUP BY b.PGId,b.PCode,b.PName "
        u" ORDER BY Sum(a.BQty) DESC",
        P::Standard },
    { 76, u"Rate History", G::ProductCode, false,
        u"SELECT a.PCode,a.PName,a.PSaleRate,b.BRate,b.EDate FROM  ktBillDetl as b,"
        u" ktProduct as a WHERE b.BPID=a.PCode ",
        u" ORDER BY a.PCode,b.EDate ", P::Standard },
    { 77, u"Profit Report", G::DateRange, false,
        u"Select a.EId,a.BItems,a.BGross,a.BDiscount,a.BTotal,a.BTax1,a.BTax2,a.BNett,"
        u" b.BQty,b.BValue,b.BSaving,c.PPurchRate From ktBillMast a,ktBillDetl b,ktProduct c "
        u" Where a.EId=b.EId And b.BPId=c.PCode",
        u"", P::Standard },
    { 78, u"Tax Statement", G::DateRange, false,
        u"Select a.EId,a.BGross,a.BDiscount,a.BTotal,a.BTax1,a.BTax2,a.BNett,b.BQty,"
        u" b.BGross,b.BTax From ktBillMast a,ktBillDetl b Where a.EId=b.EId ",
        u"", P::Tax },
    { 79, u"Account Ledger", G::Account, true,
        u"Select a.EId,a.EDate,a.ADMode,a.ADAmount,a.AWMode,a.AWAmount,b.AName,b.AOpening"
        u" From ktAccounting a,kmAccount b Where a.AAId=b.EId ",
        u" Order By b.AName,a.EId", P::Standard },
    { 80, u"Gift Receipt", G::DocumentNumber, true, BillLines, u"", P::Document },
};

std::vector<ReportEntry> MakeEntries()
{
    std::vector<ReportEntry> entries;
    for (const Row& row : Rows)
        entries.push_back({ row.code, QString::fromUtf16(row.title), row.group, row.criterionNeeded,
            QString::fromUtf16(row.head), QString::fromUtf16(row.tail), row.parameters });
    return entries;
}

} // namespace

QString ReportEntry::NamePart() const
{
    return title.left(3) + QString::number(code);
}

const std::vector<ReportEntry>& ReportCatalogue::Entries()
{
    static const std::vector<ReportEntry> entries = MakeEntries();
    return entries;
}

const ReportEntry* ReportCatalogue::Find(int code)
{
    for (const ReportEntry& entry : Entries())
        if (entry.code == code)
            return &entry;
    return nullptr;
}

} // namespace kivo
