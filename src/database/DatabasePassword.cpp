#include "DatabasePassword.h"

namespace kivo {

namespace {

// A character of the password, kept with its position and masked by a value that depends on
// that position, so that neither the text nor its characters in order lie in the program.
struct Piece {
    unsigned char position;
    unsigned char masked;
};

constexpr unsigned char Mask(unsigned position)
{
    return static_cast<unsigned char>(((position + 3u) * 0x5Du) ^ 0xA7u);
}

constexpr Piece Hide(unsigned position, char c)
{
    return { static_cast<unsigned char>(position), static_cast<unsigned char>(c ^ Mask(position)) };
}

} // namespace

QString DatabasePassword()
{
    // Out of order, and read through volatile so that the compiler cannot fold the password
    // back into one constant text.
    static const volatile Piece pieces[]
        = { Hide(4, 'P'), Hide(1, 'v'), Hide(5, '4'), Hide(0, 'K'), Hide(3, 'q'), Hide(2, '7') };
    constexpr int length = int(sizeof(pieces) / sizeof(pieces[0]));
    QString password(length, QChar());
    for (const volatile Piece& piece : pieces) {
        const unsigned position = piece.position;
        password[position] = QChar(char16_t(piece.masked ^ Mask(position)));
    }
    return password;
}

} // namespace kivo
