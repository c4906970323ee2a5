#pragma once

namespace kivo {

// Screen geometry is designed in twips; one twip is 1/15 of a pixel at 96 dpi.
constexpr int Twips(int twips)
{
    return twips / 15;
}

} // namespace kivo
