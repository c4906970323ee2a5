#include "PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

namespace kivo {

namespace {

constexpr QStringView Scheme = u"pbkdf2-sha256";
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
// A stored hash asking for more is not one this program made, and would stall the login.
constexpr int MostIterations = 10'000'000;

QByteArray Prepared(const QString& secret, PasswordHash::LetterCase letterCase)
{
    return (letterCase == PasswordHash::LetterCase::Ignore ? secret.toCaseFolded() : secret).toUtf8();
}

QByteArray Derive(const QByteArray& secret, const QByteArray& salt, int iterations)
{
    QByteArray hash(HashBytes, Qt::Uninitialized);
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
        reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), iterations, EVP_sha256(),
        HashBytes, reinterpret_cast<unsigned char*>(hash.data()));
    return ok == 1 ? hash : QByteArray();
}

struct Parsed {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool Parse(const QString& stored, Parsed& parsed)
{
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != Scheme)
        return false;
    bool ok = false;
    parsed.iterations = parts[1].toInt(&ok);
    if (!ok || parsed.iterations < 1 || parsed.iterations > MostIterations)
        return false;
    const auto salt
        = QByteArray::fromBase64Encoding(parts[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto hash
        = QByteArray::fromBase64Encoding(parts[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || salt.decoded.isEmpty() || hash.decoded.size() != HashBytes)
        return false;
    parsed.salt = salt.decoded;
    parsed.hash = hash.decoded;
    return true;
}

} // namespace

QString PasswordHash::Make(const QString& secret, LetterCase letterCase)
{
    if (secret.isEmpty())
        return {};
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), SaltBytes / 4);
    const QByteArray hash = Derive(Prepared(secret, letterCase), salt, Iterations);
    return Scheme.toString() + u'$' + QString::number(Iterations) + u'$'
        + QString::fromLatin1(salt.toBase64()) + u'$' + QString::fromLatin1(hash.toBase64());
}

bool PasswordHash::Matches(const QString& typed, const QString& stored, LetterCase letterCase)
{
    if (typed.isEmpty() || stored.isEmpty())
        return typed.isEmpty() && stored.isEmpty();
    Parsed parsed;
    if (!Parse(stored, parsed)) {
        if (IsHash(stored))
            return false; // a damaged hash matches nothing
        return letterCase == LetterCase::Ignore ? typed.toCaseFolded() == stored.toCaseFolded()
                                                : typed == stored;
    }
    const QByteArray hash = Derive(Prepared(typed, letterCase), parsed.salt, parsed.iterations);
    return hash.size() == HashBytes
        && CRYPTO_memcmp(hash.constData(), parsed.hash.constData(), HashBytes) == 0;
}

bool PasswordHash::IsHash(const QString& stored)
{
    return stored.startsWith(Scheme) && stored.size() > Scheme.size() && stored[Scheme.size()] == u'$';
}

} // namespace kivo
