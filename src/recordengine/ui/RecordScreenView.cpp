#include "RecordScreenView.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "CustomizeSamples.h"
#include "DocumentLines.h"
#include "LineGrid.h"
#include "MaskStyle.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenRules.h"
#include "Settings.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

// A screen with more fields than this stands in two columns, so that the longest register
// still fits a 1366 × 768 screen without scrolling.
constexpr int OneColumnFields = 15;

// The characters a box has room for: flags and codes are narrow, text wide.
int BoxChars(int maxLength)
{
    if (maxLength > 0 && maxLength <= 2)
        return 3;
    if (maxLength > 0 && maxLength <= 12)
        return 12;
    return 26;
}

// A value box: light red while it has the focus, white otherwise; a box that cannot be typed
// into (filled by the program or by its button) stays grey. Entering a field with a
// descriptor selects its first ten characters, so a date, number or code is typed over.
class FieldBox : public QLineEdit {
public:
    FieldBox(bool selectOnEntry, QWidget* parent)
        : QLineEdit(parent)
        , m_selectOnEntry(selectOnEntry)
    {
        Paint(false);
    }

    void SetTypeable(bool typeable)
    {
        if (isReadOnly() == !typeable)
            return;
        setReadOnly(!typeable);
        Paint(hasFocus());
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        Paint(true);
        if (m_selectOnEntry)
            setSelection(0, qMin(10, int(text().size())));
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        Paint(false);
    }

private:
    void Paint(bool focused)
    {
        const QColor colour = focused ? RecordScreenView::FocusColour()
            : isReadOnly()            ? QColor(240, 241, 243)
                                      : QColor(Qt::white);
        QPalette p = palette();
        p.setColor(QPalette::Active, QPalette::Base, colour);
        p.setColor(QPalette::Inactive, QPalette::Base, colour);
        // While browsing the frame is disabled; the record must still read clearly.
        p.setColor(QPalette::Disabled, QPalette::Base, QColor(246, 247, 249));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(32, 33, 36));
        setPalette(p);
    }

    bool m_selectOnEntry;
};

QString Element(const char* family, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(family)).arg(i);
}

QString ColourCss(const QColor& colour)
{
    return colour.name(QColor::HexRgb);
}

} // namespace

RecordScreenView::RecordScreenView(
    ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_engine(engine)
    , m_screen(screen)
{
    setObjectName(screen.name);
    setWindowTitle(screen.caption);
    setFocusPolicy(Qt::StrongFocus);
    Describe(this, screen.caption, screen.name);

    m_frame = new QGroupBox(screen.caption, this);
    m_frame->setObjectName(QStringLiteral("frmMain"));
    // A flat frame: its caption stands over the decorative line, and its inside takes the
    // screen's back colour exactly, as the field captions do.
    m_frame->setFlat(true);
    QFont title = m_frame->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.25);
    m_frame->setFont(title);
    QPalette framePalette = m_frame->palette();
    framePalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(84, 88, 94));
    m_frame->setPalette(framePalette);
    Describe(m_frame, screen.caption, QStringLiteral("frmMain"));
    m_line = new QFrame(m_frame);
    m_line->setObjectName(QStringLiteral("shpMain"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);

    BuildRows();
    // Only the frame's caption is bold: its fields keep the screen's own font.
    QFont plain = font();
    plain.setResolveMask(QFont::AllPropertiesResolved);
    for (QWidget* child : m_frame->findChildren<QWidget*>())
        child->setFont(plain);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(m_frame);
    if (m_screen.lines) {
        BuildLineGrid();
        layout->addWidget(m_lines, 1);
    } else {
        layout->addStretch();
    }

    connect(&m_screen, &RecordScreen::changed, this, &RecordScreenView::Refresh);
    connect(&m_screen, &RecordScreen::focusRequested, this, &RecordScreenView::FocusFirstField);
    Refresh();
}

void RecordScreenView::BuildLineGrid()
{
    LineGrid& grid = m_screen.lines->Grid();
    m_lines = new QTableView(this);
    m_lines->setObjectName(QStringLiteral("grdMain"));
    Describe(m_lines, QStringLiteral("Products"), QStringLiteral("grdMain"));
    m_lines->setModel(&grid);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setWordWrap(false);
    m_lines->verticalHeader()->hide();
    m_lines->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_lines->horizontalHeader()->setHighlightSections(false);
    m_lines->setMinimumHeight(m_lines->verticalHeader()->defaultSectionSize() * 6);
    // The columns keep the grid's widths in twips, 1440 to the inch.
    const int dpi = logicalDpiX();
    for (int c = 0; c < LineGrid::ColumnCount; ++c) {
        m_lines->setColumnHidden(c, LineGrid::IsHiddenColumn(c));
        if (!LineGrid::IsHiddenColumn(c))
            m_lines->setColumnWidth(c, LineGrid::ColumnWidth(c) * dpi / 1440);
    }
    connect(m_lines, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == LineGrid::DelColumn)
            RemoveLine(index.row());
    });
    m_lines->installEventFilter(this);
}

void RecordScreenView::RemoveLine(int row)
{
    LineGrid& grid = m_screen.lines->Grid();
    // Lines change only while the document is edited: the bill view shows a stored bill.
    if (!m_screen.frameEnabled || grid.IsEmpty() || row < 0 || row >= grid.LineCount())
        return;
    if (!m_context.messages.Ask(QStringLiteral("Remove Product ?")))
        return;
    grid.RemoveLine(row);
    m_screen.NotifyChanged();
    m_lines->setFocus(Qt::OtherFocusReason);
}

bool RecordScreenView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lines && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QModelIndex current = m_lines->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.column() == LineGrid::DelColumn) {
            RemoveLine(current.row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RecordScreenView::BuildRows()
{
    const int count = m_screen.FieldCount();
    m_twoColumns = count > OneColumnFields;
    const int perColumn = m_twoColumns ? (count + 1) / 2 : count;
    const int charWidth = fontMetrics().horizontalAdvance(u'0');
    // Every row has the same height, whether or not it has a button.
    const int rowHeight
        = qMax(QLineEdit().sizeHint().height(), QPushButton(QStringLiteral("<")).sizeHint().height());

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(7);
    m_rows.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        const Field& field = m_screen.field(i);
        Row& row = m_rows[size_t(i)];

        row.caption = new QLabel(field.caption, m_frame);
        row.caption->setObjectName(Element("lblField", i));
        row.caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Describe(row.caption, field.caption, Element("lblField", i));

        row.box = new FieldBox(!field.descriptor.isEmpty(), m_frame);
        row.box->setObjectName(Element("txtField", i));
        if (field.maxLength > 0)
            row.box->setMaxLength(field.maxLength);
        row.box->setFixedSize(charWidth * BoxChars(field.maxLength) + 18, rowHeight);
        if (field.masked)
            MaskStyle::Apply(row.box);
        row.caption->setBuddy(row.box);
        Describe(row.box, field.caption, Element("txtField", i));
        connect(row.box, &QLineEdit::textEdited, this,
            [this, i](const QString& text) { m_screen.SetText(i, text); });

        row.button = new QPushButton(field.button, m_frame);
        row.button->setObjectName(Element("cmdList", i));
        row.button->setFixedSize(rowHeight + 4, rowHeight);
        row.button->setAutoDefault(false);
        row.button->setToolTip(field.button == u"+" ? QStringLiteral("List") : QStringLiteral("Next choice"));
        Describe(row.button,
            field.caption + (field.button == u"+" ? QStringLiteral(" list") : QStringLiteral(" choice")),
            Element("cmdList", i));
        connect(
            row.button, &QPushButton::clicked, this, [this, i] { m_engine.PressListButton(m_screen, i); });

        row.hint = new QLabel(m_frame);
        row.hint->setObjectName(Element("lblList", i));
        row.hint->setTextFormat(Qt::PlainText);

        auto* cell = new QHBoxLayout;
        cell->setSpacing(6);
        cell->addWidget(row.box);
        cell->addWidget(row.button);
        cell->addSpacing(4);
        cell->addWidget(row.hint);
        if (m_screen.rules->ShowsColourSamples() && CustomizeSamples::Count(i) > 0) {
            row.samples = BuildSamples(i);
            cell->addWidget(row.samples);
        }
        cell->addStretch(1);

        const int gridRow = i % perColumn + 1;
        const int gridColumn = i < perColumn ? 0 : 3;
        grid->addWidget(row.caption, gridRow, gridColumn);
        grid->addLayout(cell, gridRow, gridColumn + 1);
    }
    // The two sets of rows stand side by side at a fixed gap; spare width stays on the right.
    if (m_twoColumns)
        grid->setColumnMinimumWidth(2, 36);
    grid->setColumnStretch(m_twoColumns ? 5 : 2, 1);

    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(16, 8, 16, 14);
    frameLayout->setSpacing(10);
    frameLayout->addWidget(m_line);
    frameLayout->addLayout(grid);
}

QWidget* RecordScreenView::BuildSamples(int field)
{
    auto* samples = new QWidget(m_frame);
    samples->setObjectName(QStringLiteral("fraSamples(%1)").arg(field));
    auto* layout = new QHBoxLayout(samples);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(field == CustomizeSamples::TextColorField ? 8 : 4);
    for (int k = 0; k < CustomizeSamples::Count(field); ++k) {
        auto* sample = new QToolButton(samples);
        const QColor colour = CustomizeSamples::Colour(field, k);
        const QString name = CustomizeSamples::Name(field, k);
        const int number = CustomizeSamples::Number(field, k);
        if (field == CustomizeSamples::TextColorField) {
            sample->setObjectName(QStringLiteral("lblSample(%1)").arg(number));
            sample->setText(name);
            sample->setStyleSheet(
                QStringLiteral("QToolButton { color: %1; font-weight: bold; padding: 2px 6px; "
                               "border: 1px solid transparent; border-radius: 4px; }"
                               "QToolButton:checked { border-color: %1; }")
                    .arg(ColourCss(colour)));
            Describe(sample, name, QStringLiteral("lblSample(%1)").arg(number));
        } else {
            sample->setObjectName(QStringLiteral("pctSwatch(%1)").arg(number));
            sample->setFixedSize(24, 24);
            sample->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #9aa0a6; "
                                                 "border-radius: 4px; }"
                                                 "QToolButton:checked { border: 2px solid #202124; }")
                                      .arg(ColourCss(colour)));
            sample->setToolTip(CustomizeSamples::Value(field, k));
            Describe(sample, ColourCss(colour), QStringLiteral("pctSwatch(%1)").arg(number));
        }
        sample->setCheckable(true);
        sample->setFocusPolicy(Qt::NoFocus);
        connect(sample, &QToolButton::clicked, this,
            [this, field, k] { CustomizeSamples::Pick(m_screen, field, k); });
        layout->addWidget(sample);
    }
    return samples;
}

void RecordScreenView::Refresh()
{
    const bool wasEnabled = m_frame->isEnabled();
    m_frame->setTitle(m_screen.caption);
    m_frame->setEnabled(m_screen.frameEnabled);
    for (int i = 0; i < int(m_rows.size()) && i < m_screen.FieldCount(); ++i) {
        const Field& field = m_screen.field(i);
        Row& row = m_rows[size_t(i)];
        row.caption->setText(field.caption);
        row.caption->setVisible(field.visible);
        if (row.box->text() != field.text) {
            // The typing limit never cuts what is shown: a stored value wider than the limit
            // (or one holding characters outside the basic plane) is shown whole.
            if (field.maxLength > 0)
                row.box->setMaxLength(qMax(field.maxLength, int(field.text.size())));
            row.box->setText(field.text);
        }
        static_cast<FieldBox*>(row.box)->SetTypeable(field.typeable);
        // Tab passes over boxes that cannot be typed into; their buttons stay in the tab order.
        row.box->setFocusPolicy(field.typeable ? Qt::StrongFocus : Qt::ClickFocus);
        row.box->setVisible(field.visible);
        const bool hasButton = !field.button.isEmpty();
        row.button->setVisible(hasButton && field.visible && field.buttonVisible);
        row.button->setEnabled(field.buttonEnabled);
        row.hint->setText(field.hint);
        row.hint->setVisible(field.visible && field.hintVisible && !field.hint.isEmpty());
        Describe(row.hint, field.hint, Element("lblList", i));
        if (row.samples) {
            const QList<QToolButton*> samples = row.samples->findChildren<QToolButton*>();
            for (int k = 0; k < samples.size(); ++k)
                samples.at(k)->setChecked(field.text.trimmed() == CustomizeSamples::Value(i, k));
        }
        ShowPreview(i);
    }
    if (m_screen.frameEnabled && !wasEnabled && !m_frame->isAncestorOf(focusWidget())) {
        FocusFirstField();
    } else if (!m_screen.frameEnabled && wasEnabled) {
        // The box that had the focus is disabled with the frame: the screen keeps the
        // keyboard, so the toolbar's shortcuts and Escape still reach it.
        setFocus(Qt::OtherFocusReason);
    }
}

void RecordScreenView::ShowPreview(int i)
{
    const Field& field = m_screen.field(i);
    QLabel* caption = m_rows[size_t(i)].caption;
    if (field.captionBackground.isValid() || field.captionForeground.isValid()) {
        QPalette p = caption->palette();
        if (field.captionBackground.isValid()) {
            p.setColor(QPalette::Window, field.captionBackground);
            caption->setAutoFillBackground(true);
        }
        if (field.captionForeground.isValid())
            p.setColor(QPalette::WindowText, field.captionForeground);
        caption->setPalette(p);
    }
    if (!field.captionFont.isEmpty() || field.captionFontSize > 0) {
        QFont font = caption->font();
        if (!field.captionFont.isEmpty())
            font.setFamily(field.captionFont);
        if (field.captionFontSize > 0)
            font.setPointSize(field.captionFontSize);
        caption->setFont(font);
    }
}

void RecordScreenView::FocusFirstField()
{
    if (m_screen.frameEnabled) {
        for (int i = 1; i < int(m_rows.size()); ++i) {
            const Field& field = m_screen.field(i);
            if (field.typeable && field.visible) {
                m_rows[size_t(i)].box->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void RecordScreenView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Editing starts after a question ("Confirm Add ?") more often than not, and the child
    // window hands the focus back to the screen itself when the main window is active again:
    // while a record is edited, the screen passes it on to the first field.
    if (m_screen.frameEnabled)
        FocusFirstField();
}

void RecordScreenView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit exitRequested();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RecordScreenView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_appearanceApplied)
        return;
    for (const QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow*>(w)) {
            m_appearanceApplied = true;
            ApplyAppearance(m_context, this);
            // The customize screen's previews stay on top of the look settings.
            for (int i = 0; i < int(m_rows.size()); ++i)
                ShowPreview(i);
            break;
        }
    }
}

} // namespace kivo
