#pragma once

#include <QString>

namespace kivo {

// The users' passwords and the enterprise's access code are kept as salted slow hashes, so that
// whoever reads the database does not read them. A stored hash describes itself:
//   "pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>"
// A login password ignores letter case (it is folded, every letter, before hashing); the access
// code keeps it.
class PasswordHash {
public:
    enum class LetterCase { Ignore, Keep };

    // How many characters a password or an access code may be typed with.
    static constexpr int TypedLength = 10;
    // The iterations a new hash is made with: about 50 to 100 ms for one check on a shop's PC.
    static constexpr int Iterations = 150000;
    // How wide a stored hash can be (the column's width).
    static constexpr int StoredLength = 100;

    // A new hash of `secret` with a fresh random salt; an empty secret stays empty (no password).
    static QString Make(const QString& secret, LetterCase letterCase);
    // Whether `typed` is the secret `stored` holds. Hashes are compared in constant time. A
    // stored value that is not a hash is a plain value put into the table by hand (SQL) and
    // is compared as such. Nothing typed matches only nothing stored (no secret set).
    static bool Matches(const QString& typed, const QString& stored, LetterCase letterCase);
    // Whether `stored` has the form of a hash (not whether it is a sound one).
    static bool IsHash(const QString& stored);
};

} // namespace kivo
