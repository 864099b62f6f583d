#include "jsontext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace orlex::info {

namespace {

constexpr char kReplacement[] = "\xef\xbf\xbd";  // U+FFFD

// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned low = 0x80;  // the range of the second byte
    unsigned high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) low = 0xa0;   // no overlong forms
        if (lead == 0xed) high = 0x9f;  // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xbf) return 0;
    return length;
}

void WriteString(const std::string& text, std::string& out) {
    out += '"';
    for (const char ch : ValidUtf8(text)) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
}

void WriteValue(const nlohmann::json& value, std::string& out, int indent) {
    using T = nlohmann::json::value_t;
    switch (value.type()) {
        case T::object: {
            out += "{\n";
            std::size_t left = value.size();
            for (const auto& [key, member] : value.items()) {
                out.append(static_cast<std::size_t>(4 * (indent + 1)), ' ');
                WriteString(key, out);
                out += ": ";
                WriteValue(member, out, indent + 1);
                out += --left > 0 ? ",\n" : "\n";
            }
            out.append(static_cast<std::size_t>(4 * indent), ' ');
            out += '}';
            break;
        }
        case T::array: {
            out += "[\n";
            std::size_t left = value.size();
            for (const nlohmann::json& item : value) {
                out.append(static_cast<std::size_t>(4 * (indent + 1)), ' ');
                WriteValue(item, out, indent + 1);
                out += --left > 0 ? ",\n" : "\n";
            }
            out.append(static_cast<std::size_t>(4 * indent), ' ');
            out += ']';
            break;
        }
        case T::string:
            WriteString(value.get_ref<const std::string&>(), out);
            break;
        case T::boolean:
            out += value.get<bool>() ? "true" : "false";
            break;
        case T::number_integer:
            out += std::to_string(value.get<std::int64_t>());
            break;
        case T::number_unsigned: {
            const auto n = value.get<std::uint64_t>();
            // A whole number past the signed 64-bit range is read as a double.
            out += n <= static_cast<std::uint64_t>(INT64_MAX) ? std::to_string(n)
                                                              : JsonNumber(static_cast<double>(n));
            break;
        }
        case T::number_float:
            out += JsonNumber(value.get<double>());
            break;
        default:  // null, and what JSON cannot hold
            out += "null";
            break;
    }
}

}  // namespace

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    constexpr double kExact = 9007199254740992.0;  // 2^53
    if (std::trunc(value) == value && std::fabs(value) < kExact)
        return std::to_string(static_cast<std::int64_t>(value));
    // The shortest digits, as d.ddde±x.
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific);
    const std::string scientific(text, result.ptr);
    const std::size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, e);
    if (digits.size() > 1) digits.erase(1, 1);  // the point
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1;  // digits before the decimal point

    std::string decimal;
    if (point <= 0) {
        decimal = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= count) {
        decimal = digits + std::string(static_cast<std::size_t>(point - count), '0');
    } else {
        decimal = digits.substr(0, static_cast<std::size_t>(point)) + "." +
                  digits.substr(static_cast<std::size_t>(point));
    }
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    const std::string exponential =
        digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : std::string()) + power;
    const std::string& shorter = exponential.size() < decimal.size() ? exponential : decimal;
    return (value < 0 ? "-" : "") + shorter;
}

std::string ValidUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::string IndentedJson(const nlohmann::json& document) {
    std::string out;
    WriteValue(document, out, 0);
    out += '\n';
    return out;
}

}  // namespace orlex::info
