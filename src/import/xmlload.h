// XML documents of other tools, read through pugixml.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace orlex::import {

// Parses text into doc. Throws TImportError naming the file and the line for
// broken XML.
void LoadXml(pugi::xml_document& doc, std::string_view text, const std::string& name);

}  // namespace orlex::import
