#pragma once

#include "ErrorNumbers.h"

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

} // namespace kivo
