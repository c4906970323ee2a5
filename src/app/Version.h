#pragma once

#include <QString>

namespace kivo {

// "Kivo 9.0." followed by the program's revision number: the first status bar panel.
QString VersionText();

} // namespace kivo
