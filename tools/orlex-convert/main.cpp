// orlex-convert IN -o OUT: trajectories of other tools to 3D log files, and back.
#include <cstdio>
#include <string>
#include <vector>

#include "convertmain.h"
#include "osfile.h"

int main(int argc, char** argv) {
    std::vector<std::string> args = orlex::Utf8Arguments(argc, argv);
    args.erase(args.begin(), args.begin() + (args.empty() ? 0 : 1));
    orlex::UseBinaryOutput(stdout);
    std::string out;
    std::string err;
    int status = orlex::convert::Main(args, out, err);
    std::fputs(err.c_str(), stderr);
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fputs("orlex-convert: cannot write the output\n", stderr);
        status = status == 0 ? 1 : status;
    }
    return status;
}
