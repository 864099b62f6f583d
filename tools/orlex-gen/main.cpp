// orlex-gen: writes a plausible 3D log file; see UsageText() for the options.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "generator.h"
#include "osfile.h"

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

// Writes one file through a temporary name beside it, so that a refused case or a
// failed write leaves no partial file behind. Returns the exit status.
int WriteFile(const orlex::gen::TGenOptions& options, const std::string& path) {
    const std::string part = path + ".part";
    std::FILE* file = orlex::OpenFile(part, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "orlex-gen: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    TFileSink sink(file);
    orlex::gen::TGenStatus status = orlex::gen::Generate(options, sink);
    const bool closed = std::fclose(file) == 0;
    if (status && !closed) {
        status.Ok = false;
        status.Error = "the output could not be written";
    }
    if (status && !orlex::RenameFile(part, path, status.Error)) status.Ok = false;
    if (!status) {
        orlex::RemoveFile(part);
        std::fprintf(stderr, "orlex-gen: %s: %s\n", path.c_str(), status.Error.c_str());
        return 1;
    }
    if (options.Model == orlex::gen::TModel::Ca && options.Persons == 0) {
        std::fprintf(stderr, "orlex-gen: wrote %s: no persons\n", path.c_str());
    } else if (options.Model == orlex::gen::TModel::Ca) {
        // A person counts as saved on the step after its track's last one.
        const long long savedAt = static_cast<long long>(status.LastStep) + 1;
        std::fprintf(stderr, "orlex-gen: wrote %s: %d persons, all saved at step %lld (%.2f s)\n",
                     path.c_str(), options.Persons, savedAt,
                     static_cast<double>(savedAt) / options.VMax + options.TOff);
    }
    return 0;
}

int WriteStandardOutput(const orlex::gen::TGenOptions& options) {
    TFileSink sink(stdout);
    orlex::gen::TGenStatus status = orlex::gen::Generate(options, sink);
    if (status && std::fflush(stdout) != 0) {
        status.Ok = false;
        status.Error = "the output could not be written";
    }
    if (!status) {
        std::fprintf(stderr, "orlex-gen: standard output: %s\n", status.Error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all = orlex::Utf8Arguments(argc, argv);
    const std::vector<std::string> args(all.begin() + (all.empty() ? 0 : 1), all.end());
    orlex::UseBinaryOutput(stdout);
    const orlex::gen::TParseResult parsed = orlex::gen::ParseArguments(args);
    if (!parsed.Ok) {
        std::fprintf(stderr, "orlex-gen: %s\nTry 'orlex-gen --help'.\n", parsed.Error.c_str());
        return 2;
    }
    if (parsed.Help) {
        std::fputs(orlex::gen::UsageText().c_str(), stdout);
        return 0;
    }
    orlex::gen::TGenOptions options = parsed.Options;
    if (options.Output.empty()) return WriteStandardOutput(options);
    for (int run = 1; run <= options.Runs; ++run) {
        options.Run = run;
        const auto numbered = orlex::gen::RunFileName(options.Output, run);
        const int status = WriteFile(options, numbered ? *numbered : options.Output);
        if (status != 0) return status;
    }
    return 0;
}
