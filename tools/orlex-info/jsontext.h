// orlex-info's JSON text: indented by four spaces, keys in sorted order, numbers
// in their shortest form, as the program has always written it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace orlex::info {

// The whole document, ending with a line end. Whole numbers below 2^53 are written
// without a fraction or exponent; other numbers with the shortest digits that read
// back the same, in decimal or exponent form, whichever is shorter (decimal on a
// tie; the exponent has at least two digits: 1e-05, 1e+16). NaN and infinities are
// written as null. Strings are written in UTF-8 with '"', '\\' and control
// characters escaped; a byte that is not part of valid UTF-8 becomes U+FFFD. Empty
// arrays and objects take two lines.
std::string IndentedJson(const nlohmann::json& document);

// One number as IndentedJson writes it.
std::string JsonNumber(double value);

// text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(const std::string& text);

}  // namespace orlex::info
