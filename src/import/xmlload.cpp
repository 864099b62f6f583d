#include "xmlload.h"

#include <algorithm>

#include "trajectories.h"

namespace orlex::import {

void LoadXml(pugi::xml_document& doc, std::string_view text, const std::string& name) {
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (parsed) return;
    const std::size_t offset =
        std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0)), text.size());
    const long long line =
        1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    throw TImportError(name + ", line " + std::to_string(line) + ": broken XML (" +
                       parsed.description() + ")");
}

}  // namespace orlex::import
