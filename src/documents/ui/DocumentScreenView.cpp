#include "DocumentScreenView.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "DocumentLines.h"
#include "DocumentTotals.h"
#include "LineGrid.h"
#include "OrderPanel.h"
#include "ProgramContext.h"
#include "QuotePanel.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

QString Element(const char* family, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(family)).arg(i);
}

QPushButton* Button(const QString& caption, const QString& element, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(element);
    button->setAutoDefault(false);
    Describe(button, name, element);
    return button;
}

// A panel box: light red while it has the focus, white otherwise, grey when the program fills it.
void PaintBox(QLineEdit* box, bool focused)
{
    const QColor colour = focused ? RecordScreenView::FocusColour()
        : box->isReadOnly()       ? QColor(240, 241, 243)
                                  : QColor(Qt::white);
    QPalette p = box->palette();
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    box->setPalette(p);
}

} // namespace

DocumentScreenView::DocumentScreenView(
    ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_engine(engine)
    , m_screen(screen)
{
    setObjectName(screen.name);
    setWindowTitle(screen.caption);
    Describe(this, screen.caption, screen.name);

    // The panels add their fields before the fields' view is built over them.
    int productsElement = -1;
    QString convertCaption;
    int convertElement = -1;
    if (screen.name == u"KvQuote") {
        m_quote = new QuotePanel(context, engine, screen, this);
        m_callerCode = 1;
        productsElement = 15;
        convertCaption = QStringLiteral("To Bill     >");
        convertElement = 16;
    } else if (screen.name == u"KvOrder") {
        m_order = new OrderPanel(context, engine, screen, this);
        productsElement = 9;
        convertCaption = QStringLiteral("To Purchase <");
        convertElement = 10;
    } else if (screen.name == u"KvPurchase") {
        productsElement = 11;
    }

    m_fields = new RecordScreenView(context, engine, screen, this);
    connect(m_fields, &RecordScreenView::exitRequested, this, &DocumentScreenView::exitRequested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_fields);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(24, 0, 24, 0);
    if (productsElement >= 0) {
        auto* caption = new QLabel(QStringLiteral("Products"), this);
        m_products = Button(
            QStringLiteral("+"), Element("cmdList", productsElement), QStringLiteral("Products"), this);
        m_products->setToolTip(QStringLiteral("Listing"));
        m_products->setFixedWidth(40);
        caption->setBuddy(m_products);
        connect(m_products, &QPushButton::clicked, this, &DocumentScreenView::OpenProducts);
        buttons->addWidget(caption);
        buttons->addWidget(m_products);
    }
    if (convertElement >= 0) {
        m_convert
            = Button(convertCaption, Element("cmdList", convertElement), convertCaption.simplified(), this);
        buttons->addSpacing(24);
        buttons->addWidget(m_convert);
        connect(m_convert, &QPushButton::clicked, this, [this] {
            if (m_quote)
                m_quote->ToBill();
            else
                m_order->ToPurchase();
        });
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    if (m_quote)
        BuildPanel(QuotePanel::CashField, QuotePanel::LastPanelField);
    else if (m_order)
        BuildPanel(OrderPanel::PanelGrossField, OrderPanel::LastPanelField);
    if (m_panel) {
        auto* panelRow = new QHBoxLayout;
        panelRow->setContentsMargins(12, 6, 12, 12);
        panelRow->addWidget(m_panel);
        layout->addLayout(panelRow);
    }
    layout->addStretch(1);

    if (m_quote) {
        connect(m_quote, &QuotePanel::changed, this, &DocumentScreenView::Refresh);
        connect(m_quote, &QuotePanel::focusRequested, this, &DocumentScreenView::FocusField);
        connect(m_fields->valueBox(QuotePanel::DiscountField), &QLineEdit::editingFinished, this,
            [this] { LeaveField(QuotePanel::DiscountField); });
    }
    if (m_order) {
        connect(m_order, &OrderPanel::changed, this, &DocumentScreenView::Refresh);
        connect(m_order, &OrderPanel::focusRequested, this, &DocumentScreenView::FocusField);
    }
    if (screen.name == u"KvPurchase")
        connect(m_fields->valueBox(7), &QLineEdit::editingFinished, this, [this] { AfterLinesChanged(); });
    if (screen.lines) {
        // Every line added or removed shows in the totals.
        LineGrid* grid = &screen.lines->Grid();
        for (auto signal : { &LineGrid::rowsInserted, &LineGrid::rowsRemoved })
            connect(grid, signal, this, &DocumentScreenView::AfterLinesChanged);
        connect(grid, &LineGrid::modelReset, this, &DocumentScreenView::AfterLinesChanged);
        connect(grid, &LineGrid::dataChanged, this, &DocumentScreenView::AfterLinesChanged);
    }
    connect(&screen, &RecordScreen::changed, this, &DocumentScreenView::Refresh);
    ApplyAppearance(context, this);
    Refresh();
}

DocumentScreenView::~DocumentScreenView() = default;

void DocumentScreenView::BuildPanel(int firstField, int lastField)
{
    m_panel = new QGroupBox(m_quote ? QStringLiteral("Bill") : QStringLiteral("Purchase"), this);
    m_panel->setObjectName(QStringLiteral("frmPanel"));
    Describe(m_panel, m_panel->title(), QStringLiteral("frmPanel"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    const int perColumn = (lastField - firstField + 2) / 2;
    for (int field = firstField; field <= lastField; ++field) {
        const Field& f = m_screen.field(field);
        PanelRow row;
        row.field = field;
        row.caption = new QLabel(f.caption, m_panel);
        row.caption->setObjectName(Element("lblField", field));
        row.caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.box = new QLineEdit(m_panel);
        row.box->setObjectName(Element("txtField", field));
        row.box->setMaxLength(f.maxLength);
        row.box->setMinimumWidth(row.box->fontMetrics().horizontalAdvance(u'0') * 14);
        row.caption->setBuddy(row.box);
        Describe(row.caption, f.caption, Element("lblField", field));
        Describe(row.box, f.caption, Element("txtField", field));
        row.box->installEventFilter(this);
        connect(row.box, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { m_screen.SetText(field, text); });
        connect(row.box, &QLineEdit::editingFinished, this, [this, field] { LeaveField(field); });
        auto* cell = new QHBoxLayout;
        cell->addWidget(row.box);
        if (!f.button.isEmpty()) {
            row.button = Button(f.button, Element("cmdList", field),
                f.caption + (f.button == u"+" ? QStringLiteral(" list") : QStringLiteral(" choice")),
                m_panel);
            row.button->setToolTip(
                f.button == u"+" ? QStringLiteral("Paytype Listing") : QStringLiteral("Selection"));
            connect(row.button, &QPushButton::clicked, this, [this, field] {
                m_engine.PressListButton(m_screen, field);
                Refresh();
            });
            row.button->setFixedWidth(36);
            cell->addWidget(row.button);
        }
        row.hint = new QLabel(m_panel);
        row.hint->setObjectName(Element("lblList", field));
        cell->addSpacing(4);
        cell->addWidget(row.hint);
        cell->addStretch(1);
        const int index = field - firstField;
        grid->addWidget(row.caption, index % perColumn, index < perColumn ? 0 : 2);
        grid->addLayout(cell, index % perColumn, index < perColumn ? 1 : 3);
        m_panelRows.push_back(row);
    }
    grid->setColumnStretch(3, 1);

    m_process[0] = Button(m_quote ? QStringLiteral("Bill >") : QStringLiteral("Purchase <"),
        QStringLiteral("cmdProcess(0)"), m_quote ? QStringLiteral("Bill") : QStringLiteral("Purchase"),
        m_panel);
    m_process[1] = Button(
        QStringLiteral("Cancel X"), QStringLiteral("cmdProcess(1)"), QStringLiteral("Cancel"), m_panel);
    connect(m_process[0], &QPushButton::clicked, this, [this] {
        if (m_quote)
            m_quote->Bill();
        else
            m_order->Purchase();
    });
    connect(m_process[1], &QPushButton::clicked, this, [this] {
        if (m_quote)
            m_quote->CancelQuote();
        else
            m_order->CancelOrder();
    });
    auto* process = new QHBoxLayout;
    process->addStretch(1);
    process->addWidget(m_process[0]);
    process->addWidget(m_process[1]);

    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(16, 8, 16, 12);
    panelLayout->addLayout(grid);
    panelLayout->addLayout(process);
}

void DocumentScreenView::SetProductSelector(ProductSelector selector)
{
    m_selector = std::move(selector);
    Refresh();
}

QLineEdit* DocumentScreenView::panelBox(int field) const
{
    for (const PanelRow& row : m_panelRows)
        if (row.field == field)
            return row.box;
    return nullptr;
}

bool DocumentScreenView::PanelOpen() const
{
    return (m_quote && m_quote->IsOpen()) || (m_order && m_order->IsOpen());
}

void DocumentScreenView::Refresh()
{
    const bool editing = m_screen.frameEnabled;
    // Editing a document (Modify, Add) closes its conversion panel: a document is converted as
    // it is stored.
    if (editing && PanelOpen()) {
        if (m_quote)
            m_quote->Close();
        if (m_order)
            m_order->Close();
        return; // closing shows the view again
    }
    const bool open = PanelOpen();
    if (m_products)
        m_products->setEnabled(editing && !open && m_selector && m_screen.lines);
    // A saved document is converted while it is browsed, not while it is edited.
    if (m_convert)
        m_convert->setEnabled(!editing && !open);
    if (!m_panel)
        return;
    m_panel->setVisible(open);
    for (PanelRow& row : m_panelRows) {
        const Field& field = m_screen.field(row.field);
        if (row.box->text() != field.text)
            row.box->setText(field.text);
        row.box->setReadOnly(!field.typeable);
        row.box->setFocusPolicy(field.typeable ? Qt::StrongFocus : Qt::ClickFocus);
        PaintBox(row.box, row.box->hasFocus());
        // A picked pay type's name, or the options a "<" steps through.
        row.hint->setText(field.hint);
    }
}

void DocumentScreenView::OpenProducts()
{
    if (!m_selector || !m_screen.lines || !m_screen.frameEnabled || PanelOpen())
        return;
    m_selector(m_screen.lines->Grid(), m_callerCode);
    AfterLinesChanged();
}

void DocumentScreenView::AfterLinesChanged()
{
    // The totals of a stored document are what was saved; they follow the lines while it is edited.
    if (!m_screen.frameEnabled)
        return;
    TryStep(m_context.errors, [&] { RecalcDocumentTotals(m_context, m_screen); });
}

void DocumentScreenView::LeaveField(int field)
{
    if (m_quote)
        m_quote->LeaveField(field);
    else if (m_order)
        m_order->LeaveField(field);
}

void DocumentScreenView::FocusField(int field)
{
    if (QLineEdit* box = panelBox(field)) {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
}

bool DocumentScreenView::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            PaintBox(box, event->type() == QEvent::FocusIn);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            emit exitRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kivo
