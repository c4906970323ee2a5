#pragma once

#include <QAbstractListModel>
#include <QString>
#include <vector>

namespace kivo {

class Connection;
class ErrorReporter;

// The product list of the product selection and the product query: one line per product,
// PadText(PName, 28) + " " + PadText(PCode, 16), in the order of the products' ids. Lines are
// read a page at a time by the id index as the list is scrolled (canFetchMore/fetchMore), so
// opening the list costs the same at a hundred products as at a million. The connection and
// the reporter must outlive the model.
class ProductListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int PageSize = 200;

    // activeOnly: only products whose PActive is "Y".
    ProductListModel(
        Connection& connection, ErrorReporter& errors, bool activeOnly, QObject* parent = nullptr);

    // Reads the list again from its first page. A database failure is thrown as DbError and
    // leaves an empty list.
    void Open();

    // The code and the name of a line, read back from its text as a picker reads it.
    QString CodeAt(int row) const;
    QString NameAt(int row) const;
    // The headings above the two columns: the names of the columns listed.
    static QString NameHeading() { return QStringLiteral("PName"); }
    static QString CodeHeading() { return QStringLiteral("PCode"); }

    // A tickable list shows a box on each line; ticking it picks the line (ticked(row)) and the
    // box is left clear for the next pick.
    void SetTickable(bool tickable) { m_tickable = tickable; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    // Reads the next page; a database failure is reported and ends the list where it stands.
    void fetchMore(const QModelIndex& parent) override;

signals:
    void ticked(int row);

private:
    // Up to PageSize lines after product id `after`, appended to `lines`; the last id read
    // goes to `after`. Returns false when the table has no more.
    bool ReadPage(std::vector<QString>& lines, qint64& after) const;

    Connection& m_connection;
    ErrorReporter& m_errors;
    bool m_activeOnly;
    std::vector<QString> m_lines;
    qint64 m_lastId = 0;
    bool m_atEnd = true;
    bool m_tickable = false;
};

} // namespace kivo
