#pragma once

#include <QColor>
#include <QString>

namespace kivo {

class RecordScreen;

// The customize screen's look fields and the samples shown beside them: eight back colour
// swatches (upper row), eight back texture swatches (lower row) and five text colours, each
// row left to right in the order of ColourSamples. A sample is chosen by stepping with the
// field's "<" button or by clicking it; the step position is the one the option buttons use
// (ChoiceField and ChoicePosition), so a click and the button carry on from each other.
namespace CustomizeSamples {

inline constexpr int BackColorField = 2;
inline constexpr int BackTextureField = 3;
inline constexpr int TextFontField = 4;
inline constexpr int TextSizeField = 5;
inline constexpr int TextColorField = 6;

// How many samples field has: 8, 8 or 5; 0 for a field without samples.
int Count(int field);
// Sample position of field as a colour (invalid when there is none).
QColor Colour(int field, int position);
// The stored value of a sample: the decimal text of its colour number.
QString Value(int field, int position);
// The name a text colour sample shows ("Purple"); empty for the swatches.
QString Name(int field, int position);
// A sample's number on the screen: 10 × field + position (swatch 23 is field 2's fourth).
inline int Number(int field, int position)
{
    return 10 * field + position;
}

// The "<" button of a sample field: a press on another field than the last starts at the
// first sample; each press takes the sample at the position and moves the position on.
void Step(RecordScreen& screen, int field);
// A click on sample position of field: takes that sample; the next "<" press takes the one after.
void Pick(RecordScreen& screen, int field, int position);
// Shows field's value on its caption: back colours as the caption's background, the text
// colour as its text colour, the font and size as its font. Invalid values show as designed.
void Preview(RecordScreen& screen, int field);

} // namespace CustomizeSamples

} // namespace kivo
