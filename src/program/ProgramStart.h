#pragma once

class QApplication;

namespace kivo {

// Starts the program on the data folder given by the command line and runs it until the
// main window closes. Returns the process exit code.
int RunProgram(QApplication& application);

} // namespace kivo
