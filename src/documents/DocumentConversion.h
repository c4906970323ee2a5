#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// Turns a stored document into another, the way a quote becomes a bill and an order a
// purchase: the new row (today's date, the source's columns 2 up to `lastCopied`, the panel's
// texts from the column after, a receipt number naming the source), the source's lines as the
// new document's lines with their stock, and the source marked with its new status and remarks
// naming the new document. One unit inside the caller's transaction (a savepoint when the
// caller holds one): a failure, or a crash, leaves none of it.
class DocumentConversion {
public:
    struct Shape {
        QString routine; // names the conversion in errors
        QString noun; // "Quote": the source as errors name it
        QString source; // the source's master table
        QString sourceLines;
        QString target; // the new document's master table
        QString targetLines;
        QString screen; // the screen whose stock move the lines post
        int lastCopied = 0;
        QString receiptTag; // "QTOB-"
        QString remarksTag; // "BILL#"
        QString statusColumn; // the source's
        QString remarksColumn; // the source's
        QString status; // the source's new status
    };
    struct Result {
        qint64 targetId = 0;
        QString sourceRemarks; // remarksTag + target id + ";" + the new document's remarks
        QStringList missing; // codes of lines whose product no longer exists: no stock moved
    };

    // "YYMM-DD" of today + the tag + the source id in six digits.
    static QString Receipt(const QDate& today, const QString& tag, qint64 sourceId);
    // The tag + target id + ";" + the remarks, cut to what `table`.`column` holds.
    static QString Remarks(const QString& tag, qint64 targetId, const QString& remarks, const QString& table,
        const QString& column);

    // Writes the document that `sourceId` becomes, its new row taking `panel` from column
    // lastCopied + 1 on (a decimal comma read as a point) and its remarks from `remarks`.
    // Throws DbError, leaving nothing.
    static Result Write(ProgramContext& context, const Shape& shape, qint64 sourceId,
        const QStringList& panel, const QString& remarks);
};

} // namespace kivo
