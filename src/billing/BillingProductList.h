#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <vector>

namespace kivo {

class Connection;
class ErrorReporter;

// The counter's product list lstProd: the active products of one group, in the order the
// PGId index gives them, each item "PadText(PName,28) PadText(PCode,16)" with a check box.
// Rows are read a page at a time as the list is scrolled (canFetchMore/fetchMore), so a group
// of a hundred thousand products opens as fast as a group of ten. Ticking an item does not
// keep the tick: it asks for the product (productChosen) as Enter on the item does.
class BillingProductList : public QAbstractListModel {
    Q_OBJECT
public:
    BillingProductList(Connection& connection, ErrorReporter& errors, QObject* parent = nullptr);

    // Lists group `groupId`'s active products from the first; a group id below 1 empties it.
    // A failing read is thrown as DbError and leaves the list empty.
    void ShowGroup(qint64 groupId);
    void Clear();
    QString Item(int row) const;
    // The code of an item: its last 16 characters, trimmed.
    static QString CodeOfItem(const QString& item);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    static constexpr int PageRows = 200;

signals:
    void productChosen(int row);

private:
    // The next page after the last id read; false when the group has no more.
    bool ReadPage(QStringList& items);

    Connection& m_connection;
    ErrorReporter& m_errors;
    qint64 m_groupId = 0;
    qint64 m_lastId = 0;
    bool m_complete = true;
    QStringList m_items;
};

} // namespace kivo
