#include "KvBilling.h"

#include "Accessibility.h"
#include "BillingBox.h"
#include "BillingProductList.h"
#include "CustomerByPhone.h"
#include "Icons.h"
#include "KvCustomerB.h"
#include "KvList.h"
#include "KvPSelect.h"
#include "KvReport.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ReportScreenState.h"
#include "ScreenHost.h"
#include "Settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kivo {

namespace {

QString ElementName(const char* family, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(family)).arg(i);
}

} // namespace

bool KvBilling::ValidateBill(RecordEngine& engine, const BillingState& bill)
{
    RecordScreen screen(QStringLiteral("KvBilling"), QStringLiteral("Billing"));
    screen.table = QStringLiteral("ktBillMast");
    screen.lastField = BillingState::LastField;
    screen.rules = std::make_unique<ScreenRules>();
    for (int n = 0; n <= BillingState::LastField; ++n) {
        const BillingField& from = bill.Field(n);
        kivo::Field field;
        field.caption = from.caption;
        field.descriptor = from.descriptor;
        field.text = from.text;
        screen.fields.push_back(field);
    }
    // The customer has no caption of its own on the counter; the message names the phone.
    screen.field(BillingState::CustomerId).caption = bill.Field(BillingState::CustomerPhone).caption;
    return engine.ValidateRecord(screen);
}

QColor KvBilling::FocusColour()
{
    // &HC0C0FF: blue C0, green C0, red FF.
    return QColor(0xFF, 0xC0, 0xC0);
}

KvBilling::KvBilling(ProgramContext& context, RecordEngine& engine, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_engine(engine)
    , m_state(new BillingState(context, QDateTime::currentDateTime(), this))
{
    setObjectName(QStringLiteral("KvBilling"));
    setWindowTitle(QStringLiteral("Billing"));
    Describe(this, QStringLiteral("Billing"), QStringLiteral("KvBilling"));

    // Left: the bill's head, the product code and the line grid.
    auto* head = new QGridLayout;
    const auto caption = [&](int n, const QString& text) {
        auto* label = new QLabel(text, this);
        Describe(label, text, ElementName("lblField", n));
        m_elements.insert(ElementName("lblField", n), label);
        return label;
    };
    const auto hint = [&](int n) {
        auto* label = new QLabel(this);
        Describe(label, ElementName("lblList", n), ElementName("lblList", n));
        m_hints.insert(n, label);
        m_elements.insert(ElementName("lblList", n), label);
        return label;
    };
    int row = 0;
    for (int n : { int(BillingState::BillId), int(BillingState::BillDate), int(BillingState::UserId),
             int(BillingState::Receipt) }) {
        head->addWidget(caption(n, m_state->Field(n).caption), row, 0);
        head->addWidget(AddBox(n, this), row, 1);
        if (n == BillingState::UserId)
            head->addWidget(hint(2), row, 2, 1, 2);
        ++row;
    }
    head->addWidget(caption(4, m_state->Field(BillingState::CustomerPhone).caption), row, 0);
    head->addWidget(AddBox(BillingState::CustomerPhone, this), row, 1);
    head->addWidget(
        AddButton(QStringLiteral(">"), ElementName("cmdList", 4), QStringLiteral("Customer Detail")), row, 2);
    head->addWidget(hint(4), row, 3);
    ++row;
    head->addWidget(caption(5, m_state->Field(BillingState::DiscountPercent).caption), row, 0);
    head->addWidget(AddBox(BillingState::DiscountPercent, this), row, 1);
    ++row;
    head->addWidget(caption(98, m_state->Field(BillingState::ProductCode).caption), row, 0);
    head->addWidget(AddBox(BillingState::ProductCode, this), row, 1);
    head->addWidget(
        AddButton(QStringLiteral("+"), ElementName("cmdList", 98), QStringLiteral("Product Listing")), row,
        2);
    head->setColumnStretch(3, 1);
    AddBox(BillingState::CustomerId, this)->hide();
    AddBox(BillingState::OtherType, this)->hide();
    AddBox(BillingState::MiscType, this)->hide();
    m_boxes.value(BillingState::CustomerPhone)->setToolTip(QStringLiteral("Customer Phone"));
    m_boxes.value(BillingState::ProductCode)
        ->setToolTip(QStringLiteral("Enter/Scan Product Code (Valid/Blank)"));

    m_grid = new QTableView(this);
    m_grid->setModel(&m_state->Grid());
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    for (int c = 0; c < LineGrid::ColumnCount; ++c) {
        m_grid->setColumnHidden(c, LineGrid::IsHiddenColumn(c));
        if (!LineGrid::IsHiddenColumn(c))
            m_grid->setColumnWidth(c, LineGrid::ColumnWidth(c) / 15);
    }
    m_grid->horizontalHeader()->setStretchLastSection(true);
    Describe(m_grid, QStringLiteral("Bill lines"), QStringLiteral("grdMain"));
    m_elements.insert(QStringLiteral("grdMain"), m_grid);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::clicked, this,
        [this](const QModelIndex& index) { GridClicked(index.row(), index.column()); });

    auto* left = new QVBoxLayout;
    left->addLayout(head);
    left->addWidget(m_grid, 1);

    // Middle: the groups and their products, the pay buttons and the logo.
    auto* middle = new QVBoxLayout;
    auto* groupRow = new QHBoxLayout;
    auto* prior = AddButton(QStringLiteral("<"), ElementName("cmdGroup", 0), QStringLiteral("Prior Group"));
    m_group = new QComboBox(this);
    // The items are padded to 45 characters; the box need not be that wide.
    m_group->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_group->setMinimumContentsLength(12);
    Describe(m_group, QStringLiteral("Product group"), QStringLiteral("cmbGroup"));
    m_elements.insert(QStringLiteral("cmbGroup"), m_group);
    auto* next = AddButton(QStringLiteral(">"), ElementName("cmdGroup", 1), QStringLiteral("Next Group"));
    groupRow->addWidget(prior);
    groupRow->addWidget(m_group, 1);
    groupRow->addWidget(next);
    connect(prior, &QPushButton::clicked, this, [this] { m_state->PriorGroup(); });
    connect(next, &QPushButton::clicked, this, [this] { m_state->NextGroup(); });
    connect(m_group, &QComboBox::activated, this, [this](int index) { m_state->ShowGroup(index); });
    middle->addLayout(groupRow);

    m_products = new QListView(this);
    m_products->setModel(&m_state->Products());
    m_products->setUniformItemSizes(true);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_products->setFont(mono);
    Describe(m_products, QStringLiteral("Products of the group"), QStringLiteral("lstProd"));
    m_elements.insert(QStringLiteral("lstProd"), m_products);
    m_products->installEventFilter(this);
    connect(m_products, &QListView::doubleClicked, this,
        [this](const QModelIndex& index) { m_state->ChooseListedProduct(index.row()); });
    connect(&m_state->Products(), &BillingProductList::productChosen, this,
        [this](int r) { m_state->ChooseListedProduct(r); });
    middle->addWidget(m_products, 1);

    auto* hot = new QGridLayout;
    const QStringList hotCaptions = m_state->PayCaptions();
    for (int i = 0; i < 6; ++i) {
        m_hot[i] = AddButton(hotCaptions.value(i), ElementName("cmdHot", i), QString());
        m_hot[i]->setMinimumHeight(48);
        hot->addWidget(m_hot[i], i / 2, i % 2);
        connect(m_hot[i], &QPushButton::clicked, this, [this, i] { PressPayButton(i); });
    }
    middle->addLayout(hot);
    auto* logo = new QFrame(this);
    logo->setFrameShape(QFrame::StyledPanel);
    logo->setMinimumHeight(60);
    Describe(logo, QStringLiteral("Logo"), QStringLiteral("pctLogo"));
    m_elements.insert(QStringLiteral("pctLogo"), logo);
    middle->addWidget(logo);

    // Right: the totals, the tenders and the two commands.
    auto* totals = new QGridLayout;
    row = 0;
    for (int n = BillingState::Items; n <= BillingState::Remarks; ++n) {
        if (n == BillingState::OtherType || n == BillingState::MiscType)
            continue;
        totals->addWidget(caption(n, m_state->Field(n).caption), row, 0);
        totals->addWidget(AddBox(n, this), row, 1);
        if (n == BillingState::OtherPay || n == BillingState::MiscPay) {
            const int type = n == BillingState::OtherPay ? BillingState::OtherType : BillingState::MiscType;
            auto* list = AddButton(
                QStringLiteral("+"), ElementName("cmdList", type), QStringLiteral("Paytype Listing"));
            totals->addWidget(list, row, 2);
            totals->addWidget(hint(type), row, 3);
            connect(list, &QPushButton::clicked, this, [this, type] { PickPayType(type); });
        }
        ++row;
        if (n == BillingState::NettAmount) {
            m_final = new QLabel(this);
            QFont large = m_final->font();
            large.setPointSizeF(large.pointSizeF() * 2.6);
            large.setBold(true);
            m_final->setFont(large);
            m_final->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Describe(m_final, QStringLiteral("Nett amount"), QStringLiteral("lblFinal"));
            m_elements.insert(QStringLiteral("lblFinal"), m_final);
            totals->addWidget(m_final, row++, 0, 1, 4);
        }
    }
    auto* check = AddButton(QStringLiteral("CHECKOUT"), QStringLiteral("cmdCheck"), QString());
    auto* cancel = AddButton(QStringLiteral("CANCEL/EXIT"), QStringLiteral("cmdCancel"), QString());
    check->setMinimumHeight(44);
    cancel->setMinimumHeight(44);
    // The main window's pictures for Save and Cancel.
    check->setIcon(Icon(Glyph::Save));
    cancel->setIcon(Icon(Glyph::Cancel));
    check->setIconSize(QSize(24, 24));
    cancel->setIconSize(QSize(24, 24));
    connect(check, &QPushButton::clicked, this, &KvBilling::CheckoutClicked);
    connect(cancel, &QPushButton::clicked, this, &KvBilling::CancelClicked);
    auto* right = new QVBoxLayout;
    right->addLayout(totals);
    right->addStretch(1);
    right->addWidget(check);
    right->addWidget(cancel);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 8);
    layout->addLayout(middle, 3);
    layout->addLayout(right, 3);

    connect(static_cast<QPushButton*>(Element(ElementName("cmdList", 4))), &QPushButton::clicked, this,
        &KvBilling::OpenCustomerDetails);
    connect(static_cast<QPushButton*>(Element(ElementName("cmdList", 98))), &QPushButton::clicked, this,
        &KvBilling::OpenProductSelection);

    // The background colour of the appearance settings.
    if (!m_context.customization.CBackColor.isEmpty()) {
        QColor back;
        if (TryStep(m_context.errors, [&] { back = WindowsColour(m_context.customization.CBackColor); })) {
            QPalette p = palette();
            p.setColor(QPalette::Window, back);
            setPalette(p);
            setAutoFillBackground(true);
        }
    }

    customerDetails = [this](const QString& phone) {
        // Nothing saved leaves the phone as the return text: the name beside it stays.
        return KvCustomerB::RunOnPhone(m_context, m_engine, phone, this).value_or(phone);
    };
    productSelection = [this](BillingState& bill) {
        // Each product taken there is a new line on this bill, with the totals after it.
        KvPSelect::Select(m_context, bill.Grid(), 1, true, this, [&bill](int) { bill.RecalcTotals(); });
    };
    pickFromList = [this](const QString& source) { return KvList::PickFromList(m_context, source, this); };
    printBill = [this](int report, const QStringList& fields, const QStringList& labels) {
        OpenScreenValues values;
        values.fields = fields;
        values.listLabels = labels;
        KvReport print(m_context, report, QString(), &values, QStringLiteral("P"), pickFromList, this);
        print.exec();
    };

    m_state->SetCustomerLookup([this](const QString& phone, const QDate& entryDate) {
        const CustomerByPhone::Result found = CustomerByPhone(m_context).LookUp(phone, entryDate);
        BillingState::CustomerAnswer answer;
        if (found.outcome == CustomerByPhone::Outcome::InvalidPhone) {
            answer.kind = BillingState::CustomerAnswer::Kind::InvalidPhone;
        } else if (found.outcome == CustomerByPhone::Outcome::Found
            || found.outcome == CustomerByPhone::Outcome::Created) {
            answer.kind = BillingState::CustomerAnswer::Kind::Customer;
            answer.id = QString::number(found.customer.id);
            answer.name = found.customer.name;
        }
        return answer;
    });
    connect(m_state, &BillingState::changed, this, &KvBilling::Show);
    connect(&m_state->Grid(), &QAbstractItemModel::rowsInserted, this, &KvBilling::ShowNewLine);
    Show();
}

KvBilling::~KvBilling() = default;

QLineEdit* KvBilling::AddBox(int n, QWidget* parent)
{
    const BillingField& field = m_state->Field(n);
    auto* box = new BillingBox(!field.descriptor.isEmpty(), parent);
    if (field.maxLength > 0)
        box->setMaxLength(field.maxLength);
    box->SetTypeable(field.editable);
    box->setText(field.text);
    Describe(box, field.caption.isEmpty() ? ElementName("txtField", n) : field.caption,
        ElementName("txtField", n));
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, n](const QString& text) { m_state->SetText(n, text); });
    m_boxes.insert(n, box);
    m_elements.insert(ElementName("txtField", n), box);
    return box;
}

QPushButton* KvBilling::AddButton(const QString& caption, const QString& element, const QString& tip)
{
    auto* button = new QPushButton(caption, this);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    if (caption.size() == 1)
        button->setFixedWidth(fontMetrics().height() * 2); // "<", ">", "+": a small square
    Describe(button, tip.isEmpty() ? caption : tip, element);
    button->installEventFilter(this);
    m_elements.insert(element, button);
    return button;
}

QWidget* KvBilling::Element(const QString& name) const
{
    return m_elements.value(name);
}

void KvBilling::Show()
{
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        const BillingField& field = m_state->Field(it.key());
        if (it.value()->text() != field.text)
            it.value()->setText(field.text);
        static_cast<BillingBox*>(it.value())->SetTypeable(field.editable);
    }
    for (auto it = m_hints.cbegin(); it != m_hints.cend(); ++it)
        it.value()->setText(m_state->ListText(it.key()));
    m_final->setText(m_state->FinalText());
    const QStringList captions = m_state->PayCaptions();
    for (int i = 0; i < 6; ++i)
        m_hot[i]->setText(captions.value(i));
    if (m_group->count() != m_state->GroupItems().size()) {
        m_group->clear();
        m_group->addItems(m_state->GroupItems());
    }
    m_group->setCurrentIndex(m_state->GroupIndex() < 0 ? 0 : m_state->GroupIndex());
}

void KvBilling::ShowNewLine()
{
    // The new line is the top row in view, its code column current.
    const int last = m_state->Grid().rowCount() - 1;
    const QModelIndex index = m_state->Grid().index(last, LineGrid::CodeColumn);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void KvBilling::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    Focus(
        m_state->DiscountLocked() ? BillingState::Focus::ProductCode : BillingState::Focus::DiscountPercent);
}

void KvBilling::Focus(BillingState::Focus target)
{
    QWidget* widget = nullptr;
    switch (target) {
    case BillingState::Focus::Stay:
        return;
    case BillingState::Focus::ProductCode:
        widget = m_boxes.value(BillingState::ProductCode);
        break;
    case BillingState::Focus::ProductListing:
        widget = Element(ElementName("cmdList", 98));
        break;
    case BillingState::Focus::CustomerPhone:
        widget = m_boxes.value(BillingState::CustomerPhone);
        break;
    case BillingState::Focus::DiscountPercent:
        widget = m_boxes.value(
            m_state->DiscountLocked() ? BillingState::ProductCode : BillingState::DiscountPercent);
        break;
    case BillingState::Focus::Remarks:
        widget = m_boxes.value(BillingState::Remarks);
        break;
    case BillingState::Focus::MiscPay:
        widget = m_boxes.value(BillingState::MiscPay);
        break;
    }
    if (widget) {
        // Moving the cursor is the program's doing: the field it leaves is not "left".
        ++m_busy;
        widget->setFocus(Qt::OtherFocusReason);
        --m_busy;
    }
}

void KvBilling::ReadBox(int n)
{
    if (QLineEdit* box = m_boxes.value(n))
        m_state->SetText(n, box->text());
}

int KvBilling::FieldOf(QObject* watched) const
{
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        if (it.value() == watched)
            return it.key();
    return -1;
}

bool KvBilling::eventFilter(QObject* watched, QEvent* event)
{
    const int n = FieldOf(watched);
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        // F1 to F6 from any text field, on release.
        if (n >= 0 && code >= Qt::Key_F1 && code <= Qt::Key_F6) {
            if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
                PressPayButton(code - Qt::Key_F1);
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return QWidget::eventFilter(watched, event);
        const bool enter = code == Qt::Key_Return || code == Qt::Key_Enter;
        if (n >= 0 && enter) {
            EnterPressed(n);
            return true;
        }
        if (watched == m_products) {
            const QModelIndex current = m_products->currentIndex();
            if ((enter || code == Qt::Key_Tab || code == Qt::Key_Space) && current.isValid()
                && m_products->selectionModel()->isSelected(current)) {
                m_state->ChooseListedProduct(current.row());
                return true;
            }
            if (code == Qt::Key_Escape) {
                m_products->clearSelection();
                return true;
            }
        }
        if (watched == m_grid && enter) {
            const QModelIndex current = m_grid->currentIndex();
            if (current.isValid())
                GridClicked(current.row(), current.column());
            return true;
        }
        // A command button takes Enter as a click.
        if (auto* button = qobject_cast<QPushButton*>(watched); button && enter) {
            button->click();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or another window taking the cursor is not the user leaving the field.
        const bool leaving = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (watched == m_products)
            m_products->clearSelection();
        else if (n >= 0 && leaving && !m_busy && !m_closing)
            Left(n);
    }
    return QWidget::eventFilter(watched, event);
}

void KvBilling::EnterPressed(int n)
{
    ReadBox(n);
    const auto to = [this](int field) {
        if (QWidget* box = m_boxes.value(field))
            box->setFocus(Qt::TabFocusReason);
    };
    const auto zero
        = [this](int field) { return Money::FromText(m_state->Text(field)).value_or(Money()).IsZero(); };
    switch (n) {
    case BillingState::DiscountPercent:
        to(BillingState::ProductCode);
        break;
    case BillingState::ProductCode: {
        ++m_busy;
        const BillingState::Focus target = m_state->EnterProductCode();
        --m_busy;
        Focus(target);
        break;
    }
    case BillingState::CustomerPhone:
        Element(ElementName("cmdList", 4))->setFocus(Qt::TabFocusReason);
        break;
    case BillingState::CashPay:
        to(BillingState::CreditPay);
        break;
    case BillingState::CreditPay:
        to(BillingState::OtherPay);
        break;
    case BillingState::OtherPay:
        if (zero(BillingState::OtherPay))
            to(BillingState::MiscPay);
        else
            Element(ElementName("cmdList", BillingState::OtherType))->setFocus(Qt::TabFocusReason);
        break;
    case BillingState::MiscPay:
        if (zero(BillingState::MiscPay))
            to(BillingState::Remarks);
        else
            Element(ElementName("cmdList", BillingState::MiscType))->setFocus(Qt::TabFocusReason);
        break;
    case BillingState::Remarks:
        Element(QStringLiteral("cmdCheck"))->setFocus(Qt::TabFocusReason);
        break;
    default:
        break;
    }
}

void KvBilling::Left(int n)
{
    ReadBox(n);
    ++m_busy;
    BillingState::Focus back = BillingState::Focus::Stay;
    switch (n) {
    case BillingState::DiscountPercent:
        if (!m_state->LeaveDiscount())
            back = BillingState::Focus::DiscountPercent;
        break;
    case BillingState::CashPay:
    case BillingState::CreditPay:
    case BillingState::OtherPay:
    case BillingState::MiscPay:
        m_state->RefreshPayment();
        break;
    case BillingState::CustomerPhone:
        if (!m_state->LeavePhone())
            back = BillingState::Focus::CustomerPhone;
        break;
    case BillingState::ProductCode:
        if (!m_state->Text(BillingState::ProductCode).trimmed().isEmpty()
            && m_state->EnterProductCode() == BillingState::Focus::ProductCode)
            back = BillingState::Focus::ProductCode;
        break;
    default:
        break;
    }
    --m_busy;
    Focus(back);
}

void KvBilling::PressPayButton(int i)
{
    for (int n = BillingState::CashPay; n <= BillingState::MiscPay; ++n)
        ReadBox(n);
    ++m_busy;
    const BillingState::Focus target = m_state->PayButton(i);
    --m_busy;
    Focus(target);
}

void KvBilling::PickPayType(int field)
{
    if (!pickFromList)
        return;
    const std::optional<ListPick> pick
        = pickFromList(QStringLiteral("Select ") + QStringLiteral("PName, EId From kmPaytype"));
    if (pick)
        m_state->PickPayType(field, pick->key, pick->name);
    Focus(field == BillingState::OtherType ? BillingState::Focus::MiscPay : BillingState::Focus::Remarks);
}

void KvBilling::OpenCustomerDetails()
{
    ReadBox(BillingState::CustomerPhone);
    if (!m_state->MayOpenCustomerDetails()) {
        Focus(BillingState::Focus::CustomerPhone);
        return;
    }
    if (customerDetails)
        m_state->CustomerDetailsReturned(customerDetails(m_state->PhoneForDetails()));
    Focus(m_state->AfterCustomerDetails());
}

void KvBilling::OpenProductSelection()
{
    if (productSelection) {
        productSelection(*m_state);
        m_state->RecalcTotals();
    }
}

void KvBilling::GridClicked(int row, int column)
{
    if (column != LineGrid::DelColumn || m_state->Grid().IsEmpty())
        return;
    m_state->RemoveLine(row);
    m_grid->setFocus(Qt::OtherFocusReason);
}

void KvBilling::CheckoutClicked()
{
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        ReadBox(it.key());
    ++m_busy;
    const BillingState::CheckoutResult result
        = m_state->Checkout([this](const BillingState& bill) { return ValidateBill(m_engine, bill); });
    --m_busy;
    if (result == BillingState::CheckoutResult::NoProducts)
        Focus(BillingState::Focus::ProductListing);
    if (result != BillingState::CheckoutResult::Completed)
        return;
    if (printBill) {
        QStringList fields, labels;
        for (int n = 0; n <= BillingState::LastField; ++n) {
            fields << m_state->Text(n);
            labels << m_state->ListText(n);
        }
        printBill(m_state->BillPrintReport(), fields, labels);
    }
    m_closing = true;
    emit closeRequested();
}

void KvBilling::CancelClicked()
{
    ++m_busy;
    const bool close = m_state->Cancel();
    --m_busy;
    if (!close)
        return;
    m_closing = true;
    emit closeRequested();
}

void KvBilling::closeEvent(QCloseEvent* event)
{
    // Closing the window mid-bill asks as CANCEL/EXIT does.
    if (!m_closing) {
        CancelClicked();
        if (!m_closing) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace kivo
