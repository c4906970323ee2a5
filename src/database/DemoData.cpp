#include "SeedData.h"

namespace kivo {

void SeedDemo(Connection&, const QDate&)
{
    // Filled in with the demo shop's rows.
}

} // namespace kivo
