#include "openproject.h"

#include <fstream>
#include <new>
#include <sstream>

#include "logwriter.h"
#include "osfile.h"
#include "trajectories.h"

namespace orlex::import {

namespace {

void ShowError(IMessages& messages, const std::string& text) {
    messages.ShowMessage(text, "Error", TMsgIcon::Error, TMsgButtons::Ok);
}

}  // namespace

bool NeedsImport(const std::string& path, const TImportOptions& options) {
    if (options.Format != TFormat::Auto) return true;
    try {
        return SniffFormat(path) != TFormat::Auto;
    } catch (const TImportError&) {
        return false;  // the reader says it cannot open the file
    }
}

TFileFacts InspectFile(const std::string& path) {
    TFileFacts facts;
    facts.Format = SniffFormat(path);
    facts.TextRows = facts.Format == TFormat::PeTrack;
    if (!facts.TextRows) return facts;
    // The comments come first; those of the first 64 kB are enough.
    std::ifstream in(PathOf(path), std::ios::binary);
    std::string line;
    for (std::size_t read = 0; read < 65536 && std::getline(in, line); read += line.size() + 1) {
        if (read == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);  // a byte-order mark
        const std::size_t p = line.find_first_not_of(" \t\r");
        if (p == std::string::npos) continue;
        if (line[p] != '#') break;
        if (facts.Fps <= 0) facts.Fps = FrameRateOfComment(line);
        if (facts.Unit == TLengthUnit::Unknown) facts.Unit = UnitOfComment(line);
    }
    return facts;
}

bool OpenProject(const std::string& path, const TImportOptions& options, TLogFile1& project,
                 IProgress& progress, IMessages& messages) {
    if (!NeedsImport(path, options)) return project.LoadFromFile(path, progress, messages);
    std::string text;
    try {
        progress.SetInfo("Importing " + path);
        const TConversion conversion = ImportFile(path, options);
        for (const std::string& warning : conversion.Warnings)
            messages.ShowMessage(warning, "Warning", TMsgIcon::Warning, TMsgButtons::Ok);
        std::ostringstream out;
        WriteLogFile(conversion, out);
        text = std::move(out).str();
    } catch (const TImportError& e) {
        ShowError(messages, e.what());
        return false;
    } catch (const std::bad_alloc&) {
        ShowError(messages, path + ": not enough memory to import the file");
        return false;
    }
    project.LoadFromMemory(text.data(), text.size(), progress, messages);
    project.FileName = path;
    return true;
}

}  // namespace orlex::import
