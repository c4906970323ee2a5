#pragma once

#include "FieldConversion.h"

#include <functional>
#include <optional>
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class ProgramContext;

// The product update's state, without any widget: active products listed by up to two
// conditions, a new value typed for each product that should change, and the changed values
// written under the enterprise's access code in one transaction. A changed opening quantity
// recomputes every product's closing quantity. The listed rows are a table model of five
// columns: EId, PCode, PName, the current value and NewValue ("-" until a value is stored).
class ProductUpdateState : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ValueWidth = 10;
    static constexpr int NewValueColumn = 4;

    // askAccessCode shows the access-code prompt and tells whether the right code was given.
    ProductUpdateState(ProgramContext& context, std::function<bool()> askAccessCode);

    // Opening: the product columns into both column boxes, then "Access-Code Required !".
    void Open();
    // "<    Find"
    void List();
    // Enter in the new value box; true when the value was stored (the focus moves on).
    bool StoreValue();
    // ">" (+1) and "<" (-1): the next or previous row, never past either end.
    void Move(int step);
    void SetCurrentRow(int row);
    // "Process >"
    void Process();
    void Close() { closed = true; }

    // The filter as it follows "Where PActive='Y' And ": " ( 1=1 )" with no values. Nothing
    // when a value is not of its column's kind ("Invalid Criteria !").
    std::optional<QString> Filter() const;

    static const QStringList& UpdateColumns(); // cmbUpdate
    static const QStringList& Joins(); // cmbJoin: "", "And", "Or"
    static const QStringList& Operators(); // cmbOper1 and cmbOper2, "Like" first

    int update = 0; // cmbUpdate
    QStringList fieldNames; // cmbField1 and cmbField2: every product column
    int field1 = 0, op1 = 0, field2 = 0, op2 = 0, join = 0;
    QString txtInqry1, txtInqry2;
    QString txtUpdate;
    int currentRow = -1;
    // The three labels above the new value box: the current row's code, name and value.
    QString codeLabel, nameLabel, valueLabel;
    QString SqlText;
    bool frameEnabled = true;
    bool closed = false;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        qint64 id;
        QString code;
        QString name;
        QString current;
        QString newValue;
    };
    std::optional<QString> Condition(int field, int op, const QString& value) const;
    void Load();

    ProgramContext& m_context;
    std::function<bool()> m_askAccessCode;
    std::vector<FieldInfo> m_fields;
    std::vector<Row> m_rows;
    QString m_listedColumn; // the update column of the listing
    bool m_listed = false;
};

} // namespace kivo
