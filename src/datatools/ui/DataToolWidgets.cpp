#include "DataToolWidgets.h"

#include "Accessibility.h"
#include "RecordsetModel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kivo {

QComboBox* MakeCombo(QWidget* parent, const QString& element, const QString& caption)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(element);
    box->setMinimumWidth(110);
    Describe(box, caption, element);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& element)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(element);
    button->setAutoDefault(false);
    Describe(button, caption, element);
    return button;
}

QLineEdit* MakeValueBox(QWidget* parent, const QString& element, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(element);
    box->setMaxLength(width);
    box->setToolTip(QStringLiteral("Blank For All Records"));
    box->setPlaceholderText(QStringLiteral("Blank For All Records"));
    Describe(box, QStringLiteral("Value"), element);
    return box;
}

QListWidget* MakeFieldList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("lstField"));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setMaximumHeight(130);
    Describe(list, QStringLiteral("Fields"), QStringLiteral("lstField"));
    return list;
}

QTableView* MakeGrid(QWidget* parent, const QString& element, QAbstractItemModel* model)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(element);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(true);
    // Tab moves on to the next control, as on every other screen, rather than from cell to cell.
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    Describe(grid, QString(), element);
    return grid;
}

QLabel* MakeCountLabel(QWidget* parent, const QString& element)
{
    auto* label = new QLabel(QStringLiteral("."), parent);
    label->setObjectName(element);
    label->setToolTip(QStringLiteral("Records"));
    label->setMinimumWidth(60);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Describe(label, QStringLiteral("Records"), element);
    return label;
}

QLabel* MakeHeading(QWidget* parent, const QString& text)
{
    auto* heading = new QLabel(text, parent);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    return heading;
}

void FillFieldChoices(QListWidget* list, QComboBox* criterion, const QStringList& names)
{
    const QSignalBlocker blockList(list);
    const QSignalBlocker blockCriterion(criterion);
    list->clear();
    list->addItems(names);
    criterion->clear();
    criterion->addItems(names);
    criterion->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void ShowGridColumns(QTableView* grid, const RecordsetModel& model)
{
    for (int c = 0; c < model.columnCount(); ++c)
        grid->setColumnHidden(c, model.IsHiddenColumn(c));
    grid->resizeColumnsToContents();
    for (int c = 0; c < model.columnCount(); ++c)
        grid->setColumnWidth(c, qBound(56, grid->columnWidth(c), 220));
}

QLineEdit* MakeFileBox(QWidget* parent, int width, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtFile"));
    box->setMaxLength(width);
    box->setToolTip(tip);
    Describe(box, QStringLiteral("File"), QStringLiteral("txtFile"));
    return box;
}

void TakeFieldSelection(const QListWidget* list, std::vector<bool>& selected)
{
    for (int i = 0; i < list->count() && size_t(i) < selected.size(); ++i)
        selected[size_t(i)] = list->item(i)->isSelected();
}

void LayOutToolWindow(QWidget* window, QWidget* frame, QPushButton* close)
{
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(frame, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
}

void ShowProgress(QWidget* frame, bool enabled, QLabel* progress, const QString& text)
{
    frame->setEnabled(enabled);
    progress->setText(text);
    progress->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kivo
