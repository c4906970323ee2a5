#pragma once

#include <exception>
#include <QString>

namespace kivo {

// A failure of the database layer or of a file operation: the number, source and
// description that the error reporter writes to the error log. Thrown by the platform
// layer; every routine that can fail catches it per step and reports it.
class DbError : public std::exception {
public:
    DbError(int number, QString source, QString description)
        : number(number)
        , source(std::move(source))
        , description(std::move(description))
        , m_what(this->description.toUtf8())
    {
    }

    const char* what() const noexcept override { return m_what.constData(); }

    int number;
    QString source;
    QString description;

private:
    QByteArray m_what;
};

// Error numbers of the database layer. Engine errors keep SQLite's own result code
// (1..28); the layer's own conditions use numbers above 3000 so the log tells them apart.
namespace DbErrorNumber {
inline constexpr int NotOpen = 3704; // operation on a closed connection or recordset
inline constexpr int NoCurrentRecord = 3021; // BOF or EOF is true, or the row was deleted
inline constexpr int TypeConversion = 3421; // a value could not be converted to the field's type
inline constexpr int NotUpdatable = 3251; // the recordset cannot be written back
inline constexpr int UnknownField = 3265; // no field of that name or position
inline constexpr int BadCriterion = 3001; // a Find criterion that cannot be read
inline constexpr int WrongKeyOrDamaged = 3343; // not a database, or the key does not open it
inline constexpr int FileMissing = 3024; // the database file does not exist
inline constexpr int FileError = 3043; // a file could not be read or written
inline constexpr int BadDate = 3075; // a date literal "#...#" that names no real date
inline constexpr int BadStatement = 3129; // an empty statement, or text after its end
inline constexpr int FieldTooSmall = 3163; // text wider than its field
} // namespace DbErrorNumber

} // namespace kivo
