// orlex-gen: writes a plausible 3D log file; see UsageText() for the options.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "generator.h"

namespace {

class TFileSink final : public orlex::gen::ISink {
public:
    explicit TFileSink(std::FILE* file) : File_(file) {}
    bool Write(const char* data, std::size_t size) override {
        return std::fwrite(data, 1, size, File_) == size;
    }

private:
    std::FILE* File_;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const orlex::gen::TParseResult parsed = orlex::gen::ParseArguments(args);
    if (!parsed.Ok) {
        std::fprintf(stderr, "orlex-gen: %s\nTry 'orlex-gen --help'.\n", parsed.Error.c_str());
        return 2;
    }
    if (parsed.Help) {
        std::fputs(orlex::gen::UsageText().c_str(), stdout);
        return 0;
    }
    const orlex::gen::TGenOptions& options = parsed.Options;
    std::FILE* file = stdout;
    if (!options.Output.empty()) {
        file = std::fopen(options.Output.c_str(), "wb");
        if (file == nullptr) {
            std::fprintf(stderr, "orlex-gen: cannot write %s: %s\n", options.Output.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    TFileSink sink(file);
    bool ok = orlex::gen::Generate(options, sink);
    ok = std::fflush(file) == 0 && ok;
    if (file != stdout) ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "orlex-gen: writing %s failed\n",
                     options.Output.empty() ? "to standard output" : options.Output.c_str());
        return 1;
    }
    return 0;
}
