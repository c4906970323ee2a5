// What one password check costs: the login and the access prompt check a typed secret against
// its stored hash, and a save makes a new one. The cost is there on purpose (it makes guessing
// a password from a stolen file slow); beside it, the bare key derivation with the same
// iterations, so that what the hash adds on top shows as the ratio.
//
// Usage: bench_passwordhash [RUNS]   (default 11 runs)
#include "BenchTiming.h"
#include "PasswordHash.h"

#include <cstdio>
#include <cstdlib>
#include <openssl/evp.h>

using namespace kivo;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
    const QString stored = PasswordHash::Make(QStringLiteral("Åsa-Pw"), PasswordHash::LetterCase::Ignore);
    bool matched = true;
    const auto check = bench::TimeRuns(runs, [&] {
        matched = PasswordHash::Matches(QStringLiteral("åSA-pW"), stored, PasswordHash::LetterCase::Ignore)
            && matched;
    });
    const auto make = bench::TimeRuns(runs, [&] {
        matched = !PasswordHash::Make(QStringLiteral("till"), PasswordHash::LetterCase::Keep).isEmpty()
            && matched;
    });
    const auto bare = bench::TimeRuns(runs, [&] {
        unsigned char out[32];
        const unsigned char salt[16] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };
        matched = PKCS5_PBKDF2_HMAC(
                      "åsa-pw", 7, salt, sizeof salt, PasswordHash::Iterations, EVP_sha256(), sizeof out, out)
                == 1
            && matched;
    });
    if (!matched) {
        std::printf("a check or hash failed\n");
        return 1;
    }
    const double bareMs = bench::Median(bare);
    std::printf("PBKDF2-HMAC-SHA256, %d iterations, median of %d runs\n", PasswordHash::Iterations, runs);
    std::printf(
        "  check (Matches)   %7.1f ms  (%.2fx bare)\n", bench::Median(check), bench::Median(check) / bareMs);
    std::printf(
        "  new hash (Make)   %7.1f ms  (%.2fx bare)\n", bench::Median(make), bench::Median(make) / bareMs);
    std::printf("  bare derivation   %7.1f ms\n", bareMs);
    return 0;
}
