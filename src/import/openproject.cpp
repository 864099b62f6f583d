#include "openproject.h"

#include <new>
#include <sstream>

#include "logwriter.h"
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
