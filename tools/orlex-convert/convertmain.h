// orlex-convert: trajectories of other tools to 3D log files, and back.
#pragma once

#include <string>
#include <vector>

namespace orlex::convert {

// Runs the program on args (without the program's name); what it prints goes to out
// and err. Returns the exit status: 0 written, 1 bad input, 2 usage error.
int Main(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace orlex::convert
