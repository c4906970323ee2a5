#include "XlsxSheet.h"

#include <algorithm>
#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zip.h>

namespace kivo {

namespace {

constexpr qint64 SliceBytes = 256 * 1024;
// A sheet has at most 16,384 columns; a reference beyond that is a damaged file.
constexpr int MostColumns = 16384;

// The built-in number formats that show a date (or a date and time).
bool BuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47)
        || (id >= 50 && id <= 58);
}

// A format code shows a date when, outside quoted text, brackets and escapes, it has a day,
// month or year part.
bool DateFormatCode(const QString& code)
{
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0)
                return false;
            i = end;
            continue;
        }
        const QChar lower = c.toLower();
        if (lower == u'd' || lower == u'y' || lower == u'm')
            return true;
    }
    return false;
}

// "AB12" -> 27 (0-based column); -1 when there is no column part.
int ColumnOfReference(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference.at(i).isLetter(); ++i) {
        column = column * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
        if (column > MostColumns)
            return MostColumns;
    }
    return i == 0 ? -1 : column - 1;
}

QString ResolveTarget(const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    QString resolved = QStringLiteral("xl/") + target;
    resolved.replace(QStringLiteral("/./"), QStringLiteral("/"));
    return resolved;
}

} // namespace

XlsxSheet::XlsxSheet(const QString& path)
    : m_path(path)
{
    int error = 0;
    const QByteArray name = QFile::encodeName(path);
    m_archive = zip_open(name.constData(), ZIP_RDONLY, &error);
    if (!m_archive)
        WorkbookReader::Fail(path, QStringLiteral("the workbook is damaged (not a readable archive)"));
}

XlsxSheet::~XlsxSheet()
{
    if (m_archive)
        zip_discard(m_archive);
}

QByteArray XlsxSheet::Part(const QString& name, bool required) const
{
    const QByteArray entry = name.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_file_t* file = nullptr;
    if (zip_stat(m_archive, entry.constData(), ZIP_FL_NOCASE, &stat) == 0)
        file = zip_fopen(m_archive, entry.constData(), ZIP_FL_NOCASE);
    if (!file) {
        if (required)
            WorkbookReader::Fail(m_path, QStringLiteral("the workbook is damaged (%1 is missing)").arg(name));
        return {};
    }
    QByteArray data;
    char buffer[64 * 1024];
    zip_int64_t got = 0;
    while ((got = zip_fread(file, buffer, sizeof buffer)) > 0)
        data.append(buffer, qsizetype(got));
    zip_fclose(file);
    if (got < 0)
        WorkbookReader::Fail(
            m_path, QStringLiteral("the workbook is damaged (%1 cannot be unpacked)").arg(name));
    return data;
}

QString XlsxSheet::SheetPart(const QString& sheetName)
{
    QString relation;
    QXmlStreamReader workbook(Part(QStringLiteral("xl/workbook.xml"), true));
    while (!workbook.atEnd()) {
        workbook.readNext();
        if (!workbook.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = workbook.attributes();
        if (workbook.name() == u"workbookPr")
            m_1904 = attributes.value(QLatin1String("date1904")) == u"1"
                || attributes.value(QLatin1String("date1904")) == u"true";
        if (workbook.name() == u"sheet" && relation.isEmpty()
            && attributes.value(QLatin1String("name")).compare(sheetName, Qt::CaseInsensitive) == 0)
            for (const QXmlStreamAttribute& attribute : attributes)
                if (attribute.name() == u"id")
                    relation = attribute.value().toString();
    }
    if (workbook.hasError() && relation.isEmpty())
        WorkbookReader::Fail(
            m_path, QStringLiteral("the workbook is damaged (%1)").arg(workbook.errorString()));
    if (relation.isEmpty())
        WorkbookReader::Fail(m_path, QStringLiteral("the workbook has no sheet named %1").arg(sheetName));
    QXmlStreamReader xml(Part(QStringLiteral("xl/_rels/workbook.xml.rels"), true));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Relationship"
            && xml.attributes().value(QLatin1String("Id")) == relation)
            return ResolveTarget(xml.attributes().value(QLatin1String("Target")).toString());
    }
    WorkbookReader::Fail(
        m_path, QStringLiteral("the workbook is damaged (the part of %1 is not named)").arg(sheetName));
}

void XlsxSheet::ReadSharedStrings()
{
    m_strings.clear();
    QXmlStreamReader xml(Part(QStringLiteral("xl/sharedStrings.xml"), false));
    QString current;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"si")
                current.clear();
            else if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                current += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == u"si")
                m_strings << current;
            else if (xml.name() == u"rPh")
                --phonetic;
        }
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        WorkbookReader::Fail(
            m_path, QStringLiteral("the workbook is damaged (shared strings: %1)").arg(xml.errorString()));
}

void XlsxSheet::ReadStyles()
{
    m_dateStyles.clear();
    QXmlStreamReader xml(Part(QStringLiteral("xl/styles.xml"), false));
    QHash<int, bool> customDate;
    bool inCellFormats = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt") {
                customDate.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                    DateFormatCode(xml.attributes().value(QLatin1String("formatCode")).toString()));
            } else if (xml.name() == u"cellXfs") {
                inCellFormats = true;
            } else if (xml.name() == u"xf" && inCellFormats) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                m_dateStyles.push_back(
                    customDate.contains(id) ? customDate.value(id) : BuiltInDateFormat(id));
            }
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellFormats = false;
        }
    }
}

void XlsxSheet::Read(const QString& sheetName, const WorkbookReader::RowSink& row)
{
    const QString part = SheetPart(sheetName);
    ReadSharedStrings();
    ReadStyles();
    ReadRows(part, row);
}

void XlsxSheet::ReadRows(const QString& part, const WorkbookReader::RowSink& row)
{
    const QByteArray entry = part.toUtf8();
    zip_file_t* file = zip_fopen(m_archive, entry.constData(), ZIP_FL_NOCASE);
    if (!file)
        WorkbookReader::Fail(m_path, QStringLiteral("the workbook is damaged (%1 is missing)").arg(part));
    struct Closer {
        zip_file_t* file;
        ~Closer() { zip_fclose(file); }
    } closer { file };

    const QDate epoch = m_1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    QXmlStreamReader xml;
    QByteArray slice(SliceBytes, Qt::Uninitialized);
    bool finished = false;

    QVariantList cells;
    bool inRow = false;
    int column = -1;
    QString type;
    int style = 0;
    QString value;
    bool haveValue = false;
    int inlineText = 0;
    bool collecting = false; // inside <v>, or <t> of an inline string

    auto endCell = [&] {
        QVariant cell;
        if (haveValue) {
            if (type == u"s") {
                const int index = value.trimmed().toInt();
                if (index >= 0 && index < m_strings.size())
                    cell = m_strings.at(index);
            } else if (type == u"inlineStr" || type == u"str" || type == u"e") {
                cell = value;
            } else if (type == u"b") {
                cell = double(value.trimmed() == u"1");
            } else {
                bool ok = false;
                const double number = value.trimmed().toDouble(&ok);
                if (!ok)
                    cell = value;
                else if (style >= 0 && size_t(style) < m_dateStyles.size() && m_dateStyles[size_t(style)]
                    && number >= 0 && number < 2958466)
                    cell = epoch.addDays(qint64(number));
                else
                    cell = number;
            }
        }
        if (column >= MostColumns)
            WorkbookReader::Fail(
                m_path, QStringLiteral("the workbook is damaged (a cell beyond the last column)"));
        while (cells.size() < column)
            cells << QVariant();
        if (cells.size() == column)
            cells << cell;
        else
            cells[column] = cell;
    };

    while (!finished) {
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                const QStringView name = xml.name();
                if (name == u"row") {
                    inRow = true;
                    cells.clear();
                    column = -1;
                } else if (name == u"c" && inRow) {
                    const QXmlStreamAttributes attributes = xml.attributes();
                    const int referenced = ColumnOfReference(attributes.value(QLatin1String("r")));
                    column = referenced >= 0 ? referenced : column + 1;
                    type = attributes.value(QLatin1String("t")).toString();
                    style = attributes.hasAttribute(QLatin1String("s"))
                        ? attributes.value(QLatin1String("s")).toInt()
                        : 0;
                    value.clear();
                    haveValue = false;
                    inlineText = 0;
                } else if (name == u"v" && inRow) {
                    value.clear();
                    collecting = true;
                } else if (name == u"is" && inRow) {
                    ++inlineText;
                } else if (name == u"t" && inlineText > 0) {
                    collecting = true;
                }
            } else if (token == QXmlStreamReader::Characters) {
                // Text may arrive in pieces where a slice of the sheet ends.
                if (collecting)
                    value += xml.text();
            } else if (token == QXmlStreamReader::EndElement) {
                const QStringView name = xml.name();
                if ((name == u"v" || name == u"t") && collecting) {
                    collecting = false;
                    haveValue = true;
                } else if (name == u"c" && inRow) {
                    endCell();
                } else if (name == u"is") {
                    --inlineText;
                } else if (name == u"row" && inRow) {
                    inRow = false;
                    const bool any = std::any_of(cells.cbegin(), cells.cend(), [](const QVariant& cell) {
                        return !cell.isNull()
                            && !(cell.typeId() == QMetaType::QString && cell.toString().isEmpty());
                    });
                    if (any && !row(cells))
                        return;
                }
            }
        }
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError || !xml.hasError()) {
            const zip_int64_t got = zip_fread(file, slice.data(), zip_uint64_t(slice.size()));
            if (got < 0)
                WorkbookReader::Fail(
                    m_path, QStringLiteral("the workbook is damaged (the sheet cannot be unpacked)"));
            if (got == 0) {
                finished = true;
                if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && inRow)
                    WorkbookReader::Fail(
                        m_path, QStringLiteral("the workbook is damaged (the sheet ends early)"));
            } else {
                xml.addData(QByteArray(slice.constData(), qsizetype(got)));
            }
        } else {
            WorkbookReader::Fail(m_path,
                QStringLiteral("the workbook is damaged (%1 at line %2)")
                    .arg(xml.errorString())
                    .arg(xml.lineNumber()));
        }
    }
}

} // namespace kivo
