#include "XlsxSheet.h"

#include "SheetRowScanner.h"

#include <algorithm>
#include <charconv>
#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zip.h>

namespace kivo {

namespace {

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
    QVariantList cells;
    SheetRowScanner scanner(
        [&](char* buffer, qint64 size) { return qint64(zip_fread(file, buffer, zip_uint64_t(size))); });
    const QString problem = scanner.Read(
        [&](const SheetRowScanner::Cell& cell) {
            if (cell.column >= MostColumns)
                WorkbookReader::Fail(
                    m_path, QStringLiteral("the workbook is damaged (a cell beyond the last column)"));
            QVariant value;
            if (cell.hasValue) {
                const QByteArray& type = cell.type;
                const QByteArray text = cell.value.trimmed();
                if (type == "s") {
                    const int index = text.toInt();
                    if (index >= 0 && index < m_strings.size())
                        value = m_strings.at(index);
                } else if (type == "inlineStr" || type == "str" || type == "e") {
                    value = QString::fromUtf8(cell.value);
                } else if (type == "b") {
                    value = double(text == "1");
                } else {
                    double number = 0;
                    const auto [end, error]
                        = std::from_chars(text.constData(), text.constData() + text.size(), number);
                    const bool ok
                        = error == std::errc() && end == text.constData() + text.size() && !text.isEmpty();
                    if (!ok)
                        value = QString::fromUtf8(cell.value);
                    else if (cell.style >= 0 && size_t(cell.style) < m_dateStyles.size()
                        && m_dateStyles[size_t(cell.style)] && number >= 0 && number < 2958466)
                        value = epoch.addDays(qint64(number));
                    else
                        value = number;
                }
            }
            while (cells.size() < cell.column)
                cells << QVariant();
            if (cells.size() == cell.column)
                cells << value;
            else
                cells[cell.column] = value;
        },
        [&] {
            const bool any = std::any_of(cells.cbegin(), cells.cend(), [](const QVariant& cell) {
                return !cell.isNull() && !(cell.typeId() == QMetaType::QString && cell.toString().isEmpty());
            });
            const bool goOn = !any || row(cells);
            cells.clear();
            return goOn;
        });
    if (!problem.isEmpty())
        WorkbookReader::Fail(m_path, QStringLiteral("the workbook is damaged (%1)").arg(problem));
}

} // namespace kivo
