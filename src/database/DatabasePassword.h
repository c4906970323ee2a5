#pragma once

#include <QString>

namespace kivo {

// The database password that encrypts Kivo.Kvd. It is never kept whole, nor its characters in
// order, in the program's text (a search of the binary for text does not find it): it is put
// together from masked pieces when it is needed.
QString DatabasePassword();

} // namespace kivo
