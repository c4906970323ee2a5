#include "SheetRowScanner.h"

#include <cstring>

namespace kivo {

namespace {

constexpr qint64 SliceBytes = 256 * 1024;
constexpr int MostColumns = 16384;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The local name of a tag's text ("x:c r=..." -> "c"), and where its attributes begin.
QByteArrayView LocalName(QByteArrayView tag, qsizetype& end)
{
    qsizetype i = 0;
    while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != '/')
        ++i;
    end = i;
    QByteArrayView name = tag.first(i);
    const qsizetype colon = name.lastIndexOf(':');
    return colon >= 0 ? name.sliced(colon + 1) : name;
}

// The value of one attribute (by local name) in a tag's attribute text, undecoded.
QByteArrayView Attribute(QByteArrayView attributes, QByteArrayView wanted, bool& found)
{
    found = false;
    qsizetype i = 0;
    const qsizetype n = attributes.size();
    while (i < n) {
        while (i < n && (IsSpace(attributes[i]) || attributes[i] == '/'))
            ++i;
        const qsizetype nameStart = i;
        while (i < n && attributes[i] != '=' && !IsSpace(attributes[i]))
            ++i;
        QByteArrayView name = attributes.sliced(nameStart, i - nameStart);
        while (i < n && IsSpace(attributes[i]))
            ++i;
        if (i >= n || attributes[i] != '=')
            return {};
        ++i;
        while (i < n && IsSpace(attributes[i]))
            ++i;
        if (i >= n || (attributes[i] != '"' && attributes[i] != '\''))
            return {};
        const char quote = attributes[i++];
        const qsizetype valueStart = i;
        while (i < n && attributes[i] != quote)
            ++i;
        QByteArrayView value = attributes.sliced(valueStart, i - valueStart);
        ++i;
        const qsizetype colon = name.lastIndexOf(':');
        if ((colon >= 0 ? name.sliced(colon + 1) : name) == wanted) {
            found = true;
            return value;
        }
    }
    return {};
}

int Number(QByteArrayView text)
{
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 100'000'000)
            break;
    }
    return value;
}

} // namespace

SheetRowScanner::SheetRowScanner(Source source)
    : m_source(std::move(source))
{
}

int SheetRowScanner::ColumnOf(const QByteArray& reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size(); ++i) {
        const char c = reference.at(i);
        const char upper = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
        if (upper < 'A' || upper > 'Z')
            break;
        column = column * 26 + (upper - 'A' + 1);
        if (column > MostColumns)
            return MostColumns;
    }
    return i == 0 ? -1 : column - 1;
}

bool SheetRowScanner::More()
{
    if (m_ended)
        return false;
    // Keep what is not read yet at the front, so the buffer holds one slice and a rest.
    if (m_position > 0) {
        m_buffer.remove(0, m_position);
        m_position = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + SliceBytes);
    const qint64 got = m_source(m_buffer.data() + old, SliceBytes);
    m_buffer.resize(old + (got > 0 ? got : 0));
    if (got <= 0) {
        m_ended = true;
        m_failed = got < 0;
        return false;
    }
    return true;
}

QByteArray SheetRowScanner::Decode(const QByteArray& raw)
{
    if (!raw.contains('&'))
        return raw;
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c != '&') {
            out += c;
            continue;
        }
        const qsizetype end = raw.indexOf(';', i);
        if (end < 0 || end - i > 12) {
            out += c;
            continue;
        }
        const QByteArray entity = raw.mid(i + 1, end - i - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.startsWith('#')) {
            bool ok = false;
            const uint code = entity.startsWith("#x") || entity.startsWith("#X")
                ? entity.mid(2).toUInt(&ok, 16)
                : entity.mid(1).toUInt(&ok, 10);
            if (!ok || code == 0 || code > 0x10FFFF) {
                out += c;
                continue;
            }
            const char32_t character = char32_t(code);
            out += QString::fromUcs4(&character, 1).toUtf8();
        } else {
            out += c;
            continue;
        }
        i = end;
    }
    return out;
}

QString SheetRowScanner::Read(const CellSink& cellSink, const RowEnd& rowEnd)
{
    Cell cell;
    bool inRow = false;
    bool inCell = false;
    bool collecting = false; // inside <v>, or <t> of an inline string
    int inlineText = 0;
    int phonetic = 0;
    int lastColumn = -1;
    QByteArray raw;

    auto endCell = [&] {
        if (collecting || !inCell)
            return;
        inCell = false;
        if (cell.hasValue)
            cell.value = Decode(raw);
        lastColumn = cell.column;
        cellSink(cell);
    };

    for (;;) {
        const char* data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        const char* found = static_cast<const char*>(
            m_position < size ? std::memchr(data + m_position, '<', size_t(size - m_position)) : nullptr);
        const qsizetype lt = found ? qsizetype(found - data) : size;
        if (collecting && phonetic == 0 && lt > m_position)
            raw.append(data + m_position, lt - m_position);
        if (!found) {
            m_position = size;
            if (!More())
                break;
            continue;
        }
        m_position = lt;
        // The whole tag: up to the '>' outside quotes; comments and character data sections
        // end with their own markers.
        qsizetype gt = -1;
        bool special = false;
        QByteArrayView endMarker;
        if (size - lt >= 4 && std::memcmp(data + lt, "<!--", 4) == 0) {
            special = true;
            endMarker = "-->";
        } else if (size - lt >= 9 && std::memcmp(data + lt, "<![CDATA[", 9) == 0) {
            special = true;
            endMarker = "]]>";
        } else if (size - lt < 9
            && (std::memcmp(data + lt, "<![CDATA[", size_t(size - lt)) == 0
                || std::memcmp(data + lt, "<!--", size_t(qMin<qsizetype>(4, size - lt))) == 0)) {
            if (!More())
                return QStringLiteral("the sheet ends early");
            continue;
        }
        if (special) {
            const qsizetype end = m_buffer.indexOf(endMarker, lt + 4);
            if (end < 0) {
                if (!More())
                    return QStringLiteral("the sheet ends early");
                continue;
            }
            if (endMarker == "]]>" && collecting && phonetic == 0)
                raw.append(data + lt + 9, end - lt - 9);
            m_position = end + endMarker.size();
            continue;
        }
        char quote = 0;
        for (qsizetype i = lt + 1; i < size; ++i) {
            const char c = data[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                gt = i;
                break;
            }
        }
        if (gt < 0) {
            if (!More())
                return QStringLiteral("the sheet ends early");
            continue;
        }
        m_position = gt + 1;
        QByteArrayView tag(data + lt + 1, gt - lt - 1);
        if (tag.isEmpty() || tag[0] == '?' || tag[0] == '!')
            continue;
        const bool closing = tag[0] == '/';
        if (closing)
            tag = tag.sliced(1);
        const bool selfClosing = !closing && tag.endsWith('/');
        qsizetype nameEnd = 0;
        const QByteArrayView name = LocalName(tag, nameEnd);

        if (!closing) {
            if (name == "row") {
                inRow = true;
                lastColumn = -1;
                if (selfClosing) {
                    inRow = false;
                    if (!rowEnd())
                        return {};
                }
            } else if (name == "c" && inRow) {
                const QByteArrayView attributes = tag.sliced(nameEnd);
                bool has = false;
                const int referenced = ColumnOf(Attribute(attributes, "r", has).toByteArray());
                cell.column = referenced >= 0 ? referenced : lastColumn + 1;
                cell.type = Attribute(attributes, "t", has).toByteArray();
                const QByteArrayView style = Attribute(attributes, "s", has);
                cell.style = has ? Number(style) : 0;
                cell.hasValue = false;
                cell.value.clear();
                raw.clear();
                inCell = true;
                inlineText = 0;
                phonetic = 0;
                if (selfClosing)
                    endCell();
            } else if (name == "v" && inCell && !selfClosing) {
                raw.clear();
                collecting = true;
            } else if (name == "is" && inCell && !selfClosing) {
                ++inlineText;
            } else if (name == "rPh" && inlineText > 0 && !selfClosing) {
                ++phonetic;
            } else if (name == "t" && inlineText > 0 && !selfClosing) {
                collecting = true;
            }
            continue;
        }
        if ((name == "v" || name == "t") && collecting) {
            collecting = false;
            if (phonetic == 0)
                cell.hasValue = true;
        } else if (name == "rPh" && phonetic > 0) {
            --phonetic;
        } else if (name == "is" && inlineText > 0) {
            --inlineText;
        } else if (name == "c" && inCell) {
            endCell();
        } else if (name == "row" && inRow) {
            inRow = false;
            if (!rowEnd())
                return {};
        }
    }
    if (m_failed)
        return QStringLiteral("the sheet cannot be unpacked");
    if (inRow || inCell)
        return QStringLiteral("the sheet ends early");
    return {};
}

} // namespace kivo
