#include "runcase.h"

#include <charconv>

#include "logfile.h"

namespace orlex::stats {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

void Mix(uint64_t& hash, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        hash = (hash ^ ((value >> (8 * i)) & 0xff)) * kFnvPrime;
    }
}

}  // namespace

TCaseKey CaseKeyOf(const TLogFile1& project) {
    TCaseKey key;
    key.XMax = project.XMax;
    key.YMax = project.YMax;
    key.ZMax = project.ZMax;
    key.VMax = project.VMax;
    key.PMax = project.PMax;
    uint64_t hash = kFnvOffset;
    Mix(hash, project.Decks.size(), 4);
    for (const TDeck& deck : project.Decks) {
        Mix(hash, static_cast<uint32_t>(deck.GridColumns()), 4);
        Mix(hash, static_cast<uint32_t>(deck.GridRows()), 4);
        for (const TCell& cell : deck.Cells) Mix(hash, cell.Code, 1);
    }
    key.Cells = hash;
    return key;
}

std::string CellsText(uint64_t cells) {
    char buffer[17];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, cells, 16);
    const std::string digits(buffer, ec == std::errc{} ? end : buffer);
    return std::string(16 - digits.size(), '0') + digits;
}

bool ParseCellsText(const std::string& text, uint64_t& cells) {
    if (text.size() != 16) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return std::from_chars(text.data(), text.data() + text.size(), cells, 16).ec == std::errc{};
}

std::string CaseText(const TCaseKey& key) {
    return "XMax " + std::to_string(key.XMax) + ", YMax " + std::to_string(key.YMax) + ", ZMax " +
           std::to_string(key.ZMax) + ", VMax " + std::to_string(key.VMax) + ", PMax " +
           std::to_string(key.PMax) + ", deck cells " + CellsText(key.Cells);
}

std::string CaseDifference(const TCaseKey& other, const TCaseKey& thecase) {
    const struct {
        const char* Name;
        int Other, Case;
    } values[] = {{"XMax", other.XMax, thecase.XMax},
                  {"YMax", other.YMax, thecase.YMax},
                  {"ZMax", other.ZMax, thecase.ZMax},
                  {"VMax", other.VMax, thecase.VMax},
                  {"PMax", other.PMax, thecase.PMax}};
    for (const auto& v : values) {
        if (v.Other != v.Case) {
            return std::string(v.Name) + " " + std::to_string(v.Other) + " instead of " +
                   std::to_string(v.Case);
        }
    }
    if (other.Cells != thecase.Cells) {
        return "other deck cells (" + CellsText(other.Cells) + " instead of " +
               CellsText(thecase.Cells) + ")";
    }
    return {};
}

}  // namespace orlex::stats
