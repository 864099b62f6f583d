#include "logfile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "loader.h"
#include "textcodec.h"

namespace orlex {

namespace load {

void TLoader::Run() {
    In.SkipByteOrderMark();
    while (In.ReadWord(Word)) {
        Progress.Show();
        bool ok = true;
        if (Word == "<header>") {
            SawHeader_ = true;
            SetInfo("Loading header...");
            ok = ReadHeader();
            P.Persons.clear();
            P.Persons.shrink_to_fit();
            P.TrackArena.Clear();
            P.HelperArenas.clear();
            P.CompleteTracks = 0;
            P.EntrySteps.clear();
            if (P.PMax > P.Limits.MaxPersons) {
                Message("The number of persons (pmax " + std::to_string(P.PMax) +
                            ") exceeds the limit of " + std::to_string(P.Limits.MaxPersons) +
                            ". The persons are not loaded.",
                        "Error", TMsgIcon::Error);
            } else if (P.PMax > 0) {
                P.Persons.resize(static_cast<std::size_t>(P.PMax));
            }
        } else if (Word == "<deck>") {
            ok = ReadDeckSection();
        } else if (Word == "<persons>") {
            ok = ReadPersonsSection();
        } else if (Word == "<import>") {
            ok = ReadImportSection();
        }
        if (!ok) break;
    }
    BuildDecks();
}

bool TLoader::ReadHeader() {
    P.PMax = P.XMax = P.YMax = P.ZMax = P.VMax = P.TOff = 0;
    bool closed = false;
    while (In.ReadWord(Word)) {
        if (Word == "</header>") {
            closed = true;
            break;
        }
        int* field = nullptr;
        if (Word == "pmax")
            field = &P.PMax;
        else if (Word == "xmax")
            field = &P.XMax;
        else if (Word == "ymax")
            field = &P.YMax;
        else if (Word == "zmax")
            field = &P.ZMax;
        else if (Word == "vmax")
            field = &P.VMax;
        else if (Word == "toff")
            field = &P.TOff;
        if (field) {
            In.ReadInteger(*field);
        } else if (Word == "version") {
            int version = 0;
            if (In.ReadInteger(version) && version != 1)
                Warn("The loaded file is not of version 1.\nThis can result in errors!");
        }
    }
    if (!closed) Incomplete();
    if (P.PMax <= 0) Warn("There are no people in this project!");
    if (P.XMax <= 0 || P.YMax <= 0 || P.ZMax <= 0) Warn("One of the main dimensions is <= 0!");
    if (P.VMax <= 0) Warn("The maximum speed of the population is <= 0!");

    if (P.ZMax > 0) {
        P.Decks.clear();
        P.Decks.shrink_to_fit();
        P.DecksAllocated = false;
        const int64_t columns = P.XMax > 0 ? P.XMax : 0;
        const int64_t rows = P.YMax > 0 ? P.YMax : 0;
        const int64_t limit = P.Limits.MaxCells;
        // Cells in all, without overflow: each factor is below 2^31.
        const bool tooMany = P.ZMax > P.Limits.MaxDecks ||
                             (columns > 0 && rows > 0 &&
                              (columns * rows > limit || columns * rows * P.ZMax > limit));
        if (P.ZMax > P.Limits.MaxDecks) {
            Message("The number of decks (zmax " + std::to_string(P.ZMax) +
                        ") exceeds the limit of " + std::to_string(P.Limits.MaxDecks) +
                        ". The decks are not loaded.",
                    "Error", TMsgIcon::Error);
        } else if (tooMany) {
            const bool fitsInt64 = columns * rows <= INT64_MAX / P.ZMax;
            const std::string cells =
                fitsInt64 ? std::to_string(columns * rows * P.ZMax)
                          : std::to_string(columns * rows) + " x " + std::to_string(P.ZMax);
            Message("The decks would hold " + cells +
                        " cells (xmax x ymax x zmax), more than the "
                        "limit of " +
                        std::to_string(limit) + ". The decks are not loaded.",
                    "Error", TMsgIcon::Error);
        } else {
            P.Decks.resize(static_cast<std::size_t>(P.ZMax));
            for (TDeck& deck : P.Decks) deck.CreateGrid(P.XMax, P.YMax);
            P.DecksAllocated = true;
        }
    }
    return closed;
}

namespace {

bool ReadNumber(TTextReader& in, std::string& word, double& value) {
    if (!in.ReadWord(word)) return false;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

}  // namespace

bool TLoader::ReadImportSection() {
    TSourceFrame frame;
    bool origin = false;
    while (In.ReadWord(Word)) {
        if (Word == "</import>") {
            if (origin && frame.CellSize > 0) {
                frame.Known = true;
                P.Source = frame;
            }
            return true;
        }
        if (Word == "origin") {
            origin = ReadNumber(In, Word, frame.OriginX) && ReadNumber(In, Word, frame.OriginY);
        } else if (Word == "cellsize") {
            if (!ReadNumber(In, Word, frame.CellSize) || frame.CellSize <= 0) frame.CellSize = 0;
        } else if (Word == "entry") {
            int person = -1;
            int step = 0;
            if (In.ReadInteger(person) && In.ReadInteger(step) && person >= 0 &&
                person < P.PersonCount() && step >= 0) {
                P.EntrySteps.resize(static_cast<std::size_t>(P.PersonCount()), 0);
                P.EntrySteps[static_cast<std::size_t>(person)] = step;
            }
        }
    }
    return Incomplete();
}

bool TLoader::ReadDeckSection() {
    if (P.ZMax <= 0) return true;
    std::string caption;
    std::string buffer;
    int level = -1;
    while (In.ReadWord(Word)) {
        if (Word == "</deck>") {
            if (level >= 0 && level < P.DeckCount())
                P.Decks[static_cast<std::size_t>(level)].Caption = caption;
            return true;
        }
        if (Word == "caption") {
            std::string line;
            if (!In.ReadRestOfLine(line, TTextReader::kMaxWord - 1))
                buffer = "END";
            else if (!line.empty())
                buffer = line;
            const std::size_t first = buffer.find_first_not_of(' ');
            caption = first == std::string::npos ? std::string() : buffer.substr(first);
            SetInfo("Loading " + P.LevelName + ": " + DecodeCaption(caption) + "...");
        } else if (Word == "level") {
            In.ReadInteger(level);
        } else if (Word == "(celldata)") {
            if (!LoadCellData(level)) {
                if (level >= 0 && level < P.DeckCount())
                    P.Decks[static_cast<std::size_t>(level)].Caption = caption;
                return false;
            }
        }
    }
    if (level >= 0 && level < P.DeckCount())
        P.Decks[static_cast<std::size_t>(level)].Caption = caption;
    return Incomplete();
}

bool ReadRunCount(TTextReader& in, int64_t& count, bool& valid, bool& atTag) {
    count = 0;
    valid = true;
    atTag = false;
    // The common case straight from the buffer: decimal digits, then the "x".
    const char* p = in.Cursor();
    const char* limit = in.Limit();
    for (const char* q = p; q < limit && q - p <= 20; ++q) {
        if (*q >= '0' && *q <= '9') {
            if (count <= kMaxStepCount) count = count * 10 + (*q - '0');
            continue;
        }
        if (*q == 'x' && q > p) {
            in.SetCursor(q + 1);
            return true;
        }
        break;
    }
    count = 0;
    for (;;) {
        if (in.AtSectionTag()) {
            valid = false;
            atTag = true;
            return true;
        }
        const int c = in.ReadLetter();
        if (c < 0) return false;
        if (c == 'x') return true;
        if (c >= '0' && c <= '9') {
            if (count <= kMaxStepCount) count = count * 10 + (c - '0');
        } else {
            valid = false;
        }
    }
}

bool TLoader::LoadCellData(int z) {
    TDeck* deck = nullptr;
    if (z < 0 || z >= P.ZMax) {
        Messages.ShowMessage(
            "Warning, z in TLogFile1::LoadCellData(FILE *projectfile, int z) is <0 or >ZMax!",
            "Warning!", TMsgIcon::None, TMsgButtons::Ok);
    } else if (z < P.DeckCount()) {
        deck = &P.Decks[static_cast<std::size_t>(z)];
    }
    const int rows = P.YMax;
    const int columns = P.XMax;
    // Without columns no row holds a cell: there is nothing to read.
    if (rows <= 0 || columns <= 0) return true;
    LastPosition = -1;
    int64_t counted = 0;
    // Code of every character, and whether it counts as a cell.
    uint8_t codes[256];
    bool counts[256];
    for (int c = 0; c < 256; ++c) {
        codes[c] = CellCodeOf(static_cast<char>(c));
        counts[c] = IsCountedCell(static_cast<char>(c));
    }
    // Adds the counted cells to the deck on every way out, also an early one.
    auto finish = [&](bool result) {
        if (deck) {
            const int64_t sum = int64_t{deck->CellCount} + counted;
            deck->CellCount = sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
        }
        return result;
    };
    for (int r = 0; r < rows; ++r) {
        SetPosition(static_cast<int>(static_cast<double>(r) * 100.0 / rows));
        TCell* row = deck && r < deck->GridRows()
                         ? &deck->Cells[static_cast<std::size_t>(r) * deck->GridColumns()]
                         : nullptr;
        int column = 0;
        while (column < columns) {
            // Cells straight from the buffer: single letters other than the first
            // letters of tags, and runs without blanks in them.
            const char* p = In.Cursor();
            const char* limit = In.Limit();
            while (column < columns && p < limit) {
                const auto c = static_cast<unsigned char>(*p);
                if (TTextReader::IsSpace(c)) {
                    ++p;
                    continue;
                }
                int64_t n = 1;
                const char* letter = p;  // the cell's letter
                if (c == 'P') {
                    // A run written without blanks: digits, "x", the letter.
                    const char* q = p + 1;
                    n = 0;
                    while (q < limit && *q >= '0' && *q <= '9' && n <= kMaxStepCount)
                        n = n * 10 + (*q++ - '0');
                    if (q == p + 1 || n > kMaxStepCount || limit - q < 2 || q[0] != 'x' ||
                        TTextReader::IsSpace(static_cast<unsigned char>(q[1])))
                        break;
                    letter = q + 1;
                } else if (c == '<' || c == '(') {
                    break;
                }
                const auto code = static_cast<unsigned char>(*letter);
                n = std::min<int64_t>(n, columns - column);  // a run past its row is cut there
                if (row)
                    for (int64_t k = 0; k < n; ++k) row[column + k].Code = codes[code];
                counted += counts[code] ? n : 0;
                column += static_cast<int>(n);
                p = letter + 1;
            }
            In.SetCursor(p);
            if (column >= columns) break;
            if (In.AtSectionTag()) {
                // The data stops early; what follows belongs to the next element.
                WarnOnce(ShortCellsShown,
                         "The cell data of a deck ends before all its rows were given.");
                return finish(true);
            }
            const int c = In.ReadLetter();
            if (c < 0) return finish(Incomplete());
            int64_t n = 1;
            int letter = c;
            if (c == 'P') {
                bool valid, atTag;
                if (!ReadRunCount(In, n, valid, atTag)) return finish(Incomplete());
                if (atTag) {
                    WarnOnce(ShortCellsShown,
                             "The cell data of a deck ends before all its rows were given.");
                    return finish(true);
                }
                if (!valid) {
                    WarnOnce(BadCountShown, kBadCount);
                    n = 0;
                }
                if (n > kMaxStepCount) WarnOnce(CountCutShown, kCountCut);
                letter = In.ReadLetter();
                if (letter < 0) return finish(Incomplete());
            }
            const int64_t room = columns - column;
            if (n > room) n = room;  // a run past the end of its row is cut there
            const uint8_t code = CellCodeOf(static_cast<char>(letter));
            if (row) {
                for (int64_t k = 0; k < n; ++k) row[column + k].Code = code;
            }
            if (IsCountedCell(static_cast<char>(letter))) counted += n;
            column += static_cast<int>(n);
        }
    }
    return finish(true);
}

}  // namespace load

TLogFile1::TLogFile1(std::string levelName) : LevelName(std::move(levelName)) {}

TLogFile1::~TLogFile1() = default;

int TLogFile1::DeckCount() const {
    if (!DecksAllocated || ZMax <= 0) return 0;
    return static_cast<int>(Decks.size());
}

bool TLogFile1::LoadFromFile(const std::string& path, IProgress& progress, IMessages& messages) {
    progress.SetPosition(0);
    TTextReader in;
    if (!in.Open(path)) {
        messages.ShowMessage("Cannot open file:\n" + path, "Error", TMsgIcon::Error,
                             TMsgButtons::Ok);
        return false;
    }
    FileName = path;
    load::TLoader loader(*this, in, progress, messages);
    loader.Run();
    if (!loader.SawHeader()) {
        // Empty, binary or some other kind of file: nothing of it is a project.
        messages.ShowMessage(path + " is not a 3D log file: no <header> found", "Error",
                             TMsgIcon::Error, TMsgButtons::Ok);
        return false;
    }
    return true;
}

bool TLogFile1::LoadFromMemory(const char* data, std::size_t size, IProgress& progress,
                               IMessages& messages) {
    TTextReader in;
    in.OpenMemory(data, size);
    load::TLoader loader(*this, in, progress, messages);
    loader.Run();
    return true;
}

std::string TLogFile1::GetDeckCaption(int index) const {
    if (index < 0 || index >= ZMax || index >= DeckCount()) return "error";
    return Decks[static_cast<std::size_t>(index)].GetCaption();
}

int64_t TLogFile1::TotalSteps() const {
    int64_t total = 0;
    for (const TPersonData& person : Persons) total += person.StepCount;
    return total;
}

}  // namespace orlex
