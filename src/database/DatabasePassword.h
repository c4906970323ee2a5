#pragma once

#include <QString>

namespace kivo {

// The database password that encrypts Kivo.Kvd. It is never kept whole in the program's
// text: it is put together from six single characters when it is needed.
QString DatabasePassword();

} // namespace kivo
