#include "CustomizeSamples.h"

#include "RecordScreen.h"
#include "Schema.h"

#include <iterator>

namespace kivo::CustomizeSamples {

namespace {

// The colour numbers of a field's samples, or an empty span.
std::pair<const int*, int> Samples(int field)
{
    switch (field) {
    case BackColorField:
        return { ColourSamples::BackColor, int(std::size(ColourSamples::BackColor)) };
    case BackTextureField:
        return { ColourSamples::BackTexture, int(std::size(ColourSamples::BackTexture)) };
    case TextColorField:
        return { ColourSamples::TextColor, int(std::size(ColourSamples::TextColor)) };
    default:
        return { nullptr, 0 };
    }
}

QColor FromColourNumber(long long number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

void TakeSample(RecordScreen& screen, int field, int position)
{
    const int count = Count(field);
    screen.choiceField = field;
    screen.choicePosition = (position + 1) % count;
    screen.SetText(field, Value(field, position));
    Preview(screen, field);
    screen.NotifyChanged();
}

} // namespace

int Count(int field)
{
    return Samples(field).second;
}

QColor Colour(int field, int position)
{
    const auto [samples, count] = Samples(field);
    if (position < 0 || position >= count)
        return {};
    return FromColourNumber(samples[position]);
}

QString Value(int field, int position)
{
    const auto [samples, count] = Samples(field);
    if (position < 0 || position >= count)
        return {};
    return QString::number(samples[position]);
}

QString Name(int field, int position)
{
    if (field != TextColorField || position < 0 || position >= Count(field))
        return {};
    return QString::fromLatin1(ColourSamples::TextColorName[position]);
}

void Step(RecordScreen& screen, int field)
{
    const int count = Count(field);
    if (count == 0 || field >= screen.FieldCount())
        return;
    if (field != screen.choiceField) {
        screen.choiceField = field;
        screen.choicePosition = 0;
    }
    TakeSample(screen, field, screen.choicePosition % count);
}

void Pick(RecordScreen& screen, int field, int position)
{
    if (position < 0 || position >= Count(field) || field >= screen.FieldCount())
        return;
    TakeSample(screen, field, position);
}

void Preview(RecordScreen& screen, int field)
{
    if (field < 0 || field >= screen.FieldCount())
        return;
    Field& f = screen.field(field);
    const QString value = f.text.trimmed();
    bool ok = false;
    switch (field) {
    case BackColorField:
    case BackTextureField: {
        const long long number = value.toLongLong(&ok);
        f.captionBackground = ok && number >= 0 && number <= 0xFFFFFF ? FromColourNumber(number) : QColor();
        break;
    }
    case TextColorField: {
        const long long number = value.toLongLong(&ok);
        f.captionForeground = ok && number >= 0 && number <= 0xFFFFFF ? FromColourNumber(number) : QColor();
        break;
    }
    case TextFontField:
        f.captionFont = value;
        break;
    case TextSizeField: {
        const int size = value.toInt(&ok);
        f.captionFontSize = ok && size > 0 ? size : 0;
        break;
    }
    default:
        break;
    }
}

} // namespace kivo::CustomizeSamples
