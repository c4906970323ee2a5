#pragma once

namespace kivo {

// The record commands, numbered as the Operation menu, the toolbar and the record engine
// share them (4, 8 and 13 are separators).
namespace CommandNumber {
inline constexpr int Add = 1;
inline constexpr int Modify = 2;
inline constexpr int Delete = 3;
inline constexpr int Save = 5;
inline constexpr int Xerox = 6;
inline constexpr int Cancel = 7;
inline constexpr int First = 9;
inline constexpr int Prior = 10;
inline constexpr int Next = 11;
inline constexpr int Last = 12;
inline constexpr int Inquiry = 14;
inline constexpr int Report = 15;
inline constexpr int Exit = 17;
inline constexpr int ToolbarLabels = 19;
inline constexpr int Find = 99;
} // namespace CommandNumber

} // namespace kivo
