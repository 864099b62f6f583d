// Running programs from tests as users run them: a shell command line, what it
// prints and its exit status.
#pragma once

#include <string>

namespace orlex::test {

struct TCommandRun {
    int Code = -1;       // the exit status; 128 + the signal for a killed program
    std::string Output;  // standard output, and standard error with withErrors
};

// Runs a shell command line and collects what it prints; without withErrors its
// standard error goes to /dev/null.
TCommandRun RunCommand(const std::string& command, bool withErrors = true);
// A path quoted for the shell.
std::string Quoted(const std::string& path);

}  // namespace orlex::test
