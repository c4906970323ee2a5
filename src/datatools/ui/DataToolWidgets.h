#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QWidget;

namespace kivo {

class RecordsetModel;

// The controls the data tools' windows share, each named and described after its element.
QComboBox* MakeCombo(QWidget* parent, const QString& element, const QString& caption);
QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& element);
// A criterion value box: at most `width` characters, tip "Blank For All Records".
QLineEdit* MakeValueBox(QWidget* parent, const QString& element, int width);
// lstField: any number of entries can be selected.
QListWidget* MakeFieldList(QWidget* parent);
QTableView* MakeGrid(QWidget* parent, const QString& element, QAbstractItemModel* model);
// A row-count or progress label, tip "Records".
QLabel* MakeCountLabel(QWidget* parent, const QString& element);
QLabel* MakeHeading(QWidget* parent, const QString& text);
// Fills the field list and the criterion box with the same names; the first entry of each chosen.
void FillFieldChoices(QListWidget* list, QComboBox* criterion, const QStringList& names);
// txtFile: a workbook's path, at most `width` characters, with the tip given.
QLineEdit* MakeFileBox(QWidget* parent, int width, const QString& tip);
// Which entries of the field list are selected, one flag per entry that `selected` holds.
void TakeFieldSelection(const QListWidget* list, std::vector<bool>& selected);
// A data tool's window: its frame above, Close at the bottom right.
void LayOutToolWindow(QWidget* window, QWidget* frame, QPushButton* close);
// A long run's step: the frame enabled as the run says, the text in the progress label and
// painted at once, events other than the user's handled meanwhile.
void ShowProgress(QWidget* frame, bool enabled, QLabel* progress, const QString& text);
// Hides the access-code columns and keeps wide text columns to a readable width.
void ShowGridColumns(QTableView* grid, const RecordsetModel& model);

} // namespace kivo
