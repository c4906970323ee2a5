#pragma once

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace kivo::test {

// Runs `body` in a child process that ends with it (the body kills it or exits with a status of
// its own; otherwise it exits with 0, and an exception ends it with 3, never back into the test);
// returns the wait status. Output buffered so far is flushed first, so it is not written twice.
template <typename Body> int InChild(Body&& body)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return status;
}

} // namespace kivo::test
