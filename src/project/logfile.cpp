#include "logfile.h"

#include <bit>
#include <climits>
#include <cstring>

#include "textcodec.h"
#include "textreader.h"

namespace orlex {

namespace {

constexpr const char* kIncomplete = "File is incomplete, which might lead to errors.";
constexpr const char* kCountCut =
    "A count in the cell or movement data is too large; it was cut to fit.";
constexpr const char* kBadCount =
    "A packed run in the cell or movement data has a count that is not a decimal number; the "
    "run was skipped.";

// One load: the open file, the hosts and the warnings already given.
class TLoader {
public:
    TLoader(TLogFile1& project, TTextReader& in, IProgress& progress, IMessages& messages)
        : P(project), In(in), Progress(progress), Messages(messages) {}

    void Run();

private:
    // Each Read* returns false once the end of the file came inside a section;
    // the reader then stops and keeps what it has read.
    bool ReadHeader();
    bool ReadDeckSection();
    bool ReadPersonsSection();
    bool ReadStartPositions();
    bool ReadMovement();
    bool LoadCellData(int z);
    // Reads "n x" of a packed run after its "P" (n up to the letter x). Returns
    // false at the end of the file; valid is false when n was not a decimal number.
    // A section tag before the "x" ends the run early: atTag is set then.
    bool ReadRunCount(int64_t& count, bool& valid, bool& atTag);

    void Warn(const char* text) { Message(text, "Warning", TMsgIcon::Warning); }
    void Message(const std::string& text, const char* caption, TMsgIcon icon) {
        Messages.ShowMessage(text, caption, icon, TMsgButtons::Ok);
    }
    bool Incomplete() {
        if (!IncompleteShown) {
            IncompleteShown = true;
            Warn(kIncomplete);
        }
        return false;
    }
    void WarnOnce(bool& shown, const char* text) {
        if (!shown) {
            shown = true;
            Warn(text);
        }
    }
    void SetInfo(const std::string& text) {
        Progress.SetInfo(text);
        Progress.ProcessEvents();
    }
    void SetPosition(int position) {
        if (position != LastPosition) {
            LastPosition = position;
            Progress.SetPosition(position);
            Progress.ProcessEvents();
        }
    }

    TLogFile1& P;
    TTextReader& In;
    IProgress& Progress;
    IMessages& Messages;
    std::string Word;
    std::vector<uint8_t> Scratch;
    int LastPosition = -1;
    bool IncompleteShown = false;
    bool CountCutShown = false;
    bool BadCountShown = false;
    bool ShortStartShown = false;
    bool ShortMovementShown = false;
    bool ShortCellsShown = false;
};

void TLoader::Run() {
    while (In.ReadWord(Word)) {
        Progress.Show();
        bool ok = true;
        if (Word == "<header>") {
            SetInfo("Loading header...");
            ok = ReadHeader();
            P.Persons.clear();
            P.Persons.shrink_to_fit();
            P.TrackArena.Clear();
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
        }
        if (!ok) break;
    }
    const int decks = P.DeckCount();
    for (int i = 0; i < decks; ++i) {
        SetInfo("Creating quad-list for " + P.LevelName + ": " + std::to_string(i));
        P.Decks[static_cast<std::size_t>(i)].BuildQuadList(P.XMax, P.YMax, Progress);
        P.Decks[static_cast<std::size_t>(i)].PlaceDefaultLights(P.XMax, P.YMax);
    }
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

bool TLoader::ReadRunCount(int64_t& count, bool& valid, bool& atTag) {
    count = 0;
    valid = true;
    atTag = false;
    for (;;) {
        if (In.AtSectionTag()) {
            valid = false;
            atTag = true;
            return true;
        }
        const int c = In.ReadLetter();
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
                if (!ReadRunCount(n, valid, atTag)) return finish(Incomplete());
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

bool TLoader::ReadPersonsSection() {
    while (In.ReadWord(Word)) {
        if (Word == "</persons>") return true;
        if (Word == "<startpositions>") {
            SetInfo("Loading start positions...");
            if (!ReadStartPositions()) return false;
        } else if (Word == "(movement)") {
            SetInfo("Loading movement data...");
            if (!ReadMovement()) return false;
        }
    }
    return Incomplete();
}

bool TLoader::ReadStartPositions() {
    LastPosition = -1;
    SetPosition(0);
    const int count = P.PersonCount();
    for (int i = 0; i < count; ++i) {
        int v[5] = {0, 0, 0, 0, 0};
        for (int k = 0; k < 5; ++k) {
            if (!In.ReadInteger(v[k])) {
                if (In.AtEnd()) return Incomplete();
                if (!ShortStartShown) {
                    ShortStartShown = true;
                    Warn(("The start positions hold records for only " + std::to_string(i) +
                          " of " + std::to_string(count) + " persons.")
                             .c_str());
                }
                return true;
            }
        }
        P.Persons[static_cast<std::size_t>(i)].SetStart(v[0], v[1], P.YMax, P.XMax, v[4], v[3],
                                                        v[2]);
        SetPosition(static_cast<int>(int64_t{i} * 100 / count));
    }
    return true;
}

// Eight characters of movement data in one word (first character in the low
// byte, as loaded on little-endian machines).
inline bool AllPlainDigits(uint64_t w) {
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    // Every byte below 0x80, at least '0' and at most '8'.
    return (w & kHigh) == 0 && ((w + 0x5050505050505050ULL) & kHigh) == kHigh &&
           ((w + 0x4747474747474747ULL) & kHigh) == 0;
}

// Four pair bytes (first digit x 9 + second) from eight plain step digits.
inline uint32_t PackDigitPairs(uint64_t w) {
    constexpr uint64_t kLanes = 0x00FF00FF00FF00FFULL;
    const uint64_t digits = w - 0x3030303030303030ULL;
    uint64_t lanes = (digits & kLanes) * 9 + ((digits >> 8) & kLanes);
    lanes = (lanes | (lanes >> 8)) & 0x0000FFFF0000FFFFULL;
    lanes = (lanes | (lanes >> 16)) & 0x00000000FFFFFFFFULL;
    return static_cast<uint32_t>(lanes);
}

bool TLoader::ReadMovement() {
    LastPosition = -1;
    SetPosition(0);
    const int count = P.PersonCount();
    for (int i = 0; i < count; ++i) {
        TPersonData& person = P.Persons[static_cast<std::size_t>(i)];
        Scratch.clear();
        TTrackWriter writer(Scratch);
        int64_t steps = 0;
        int levelDelta = 0;
        const int64_t room = kMaxStepCount - person.StepCount;
        auto add = [&](int64_t n, int direction, int levelChange) {
            if (n > room - steps) {
                WarnOnce(CountCutShown, kCountCut);
                n = room - steps;
            }
            if (n <= 0) return;
            writer.Steps(n, direction, levelChange);
            steps += n;
            levelDelta = static_cast<int>(static_cast<uint32_t>(levelDelta) +
                                          static_cast<uint32_t>(levelChange));
        };
        bool atEnd = false;
        // A section tag where a track should start: the list is shorter than pmax.
        const bool shortList = In.AtSectionTag();
        while (!shortList) {
            // Plain one-letter steps straight from the buffer, with local state
            // that the compiler keeps in registers; two steps make one byte.
            const char* p = In.Cursor();
            const char* limit = In.Limit();
            int pending = -1;
            uint8_t local[4096];
            uint8_t* out = local;
            const int64_t left = room - steps;  // steps this track may still take
            int64_t taken = 0;
            while (p < limit) {
                if (out == local + sizeof local) {
                    Scratch.insert(Scratch.end(), local, out);
                    out = local;
                }
                if (std::endian::native == std::endian::little && pending < 0 && limit - p >= 8 &&
                    left - taken >= 8 && out + 4 <= local + sizeof local) {
                    // Eight plain steps in a row are the common case: four bytes.
                    uint64_t w;
                    std::memcpy(&w, p, 8);
                    if (AllPlainDigits(w)) {
                        const uint32_t packed = PackDigitPairs(w);
                        std::memcpy(out, &packed, 4);
                        out += 4;
                        p += 8;
                        taken += 8;
                        continue;
                    }
                }
                if (pending < 0 && limit - p >= 2 && left - taken >= 2) {
                    const unsigned d0 = static_cast<unsigned char>(p[0]) - unsigned{'0'};
                    const unsigned d1 = static_cast<unsigned char>(p[1]) - unsigned{'0'};
                    if (d0 <= 8 && d1 <= 8) {
                        *out++ = static_cast<uint8_t>(d0 * 9 + d1);
                        p += 2;
                        taken += 2;
                        continue;
                    }
                }
                const auto c = static_cast<unsigned char>(*p);
                const unsigned direction = static_cast<unsigned>(c) - '0';
                if (direction <= 8 && taken < left) {
                    ++p;
                    ++taken;
                    if (pending < 0) {
                        pending = static_cast<int>(direction);
                    } else {
                        *out++ = static_cast<uint8_t>(pending * 9 + static_cast<int>(direction));
                        pending = -1;
                    }
                    continue;
                }
                if (!TTextReader::IsSpace(c)) break;
                ++p;
            }
            steps += taken;
            Scratch.insert(Scratch.end(), local, out);
            In.SetCursor(p);
            if (pending >= 0) writer.Steps(1, pending, 0);
            if (p == limit) {
                if (!In.Refill()) {
                    atEnd = true;
                    break;
                }
                continue;
            }
            const int c = In.ReadLetter();
            if (c == 'S') break;
            if (c == 'P') {
                int64_t n;
                bool valid, atTag;
                int d = -1;
                if (!ReadRunCount(n, valid, atTag)) {
                    atEnd = true;
                    break;
                }
                if (atTag) {
                    // The track stops at a tag; the next one will see it as the end of the list.
                    WarnOnce(BadCountShown, kBadCount);
                    break;
                }
                if ((d = In.ReadLetter()) < 0) {
                    atEnd = true;
                    break;
                }
                if (valid)
                    add(n, d - '0', 0);
                else
                    WarnOnce(BadCountShown, kBadCount);
            } else if (c == 'U' || c == 'D') {
                const int d = In.ReadLetter();
                if (d < 0) {
                    atEnd = true;
                    break;
                }
                add(1, d - '0', c == 'U' ? 1 : -1);
            } else {
                add(1, c - '0', 0);
            }
        }
        writer.Flush();
        if (steps > 0)
            person.AppendEncoded(Scratch, static_cast<int>(steps), levelDelta, &P.TrackArena);
        if (atEnd) return Incomplete();
        if (shortList) {
            if (!ShortMovementShown) {
                ShortMovementShown = true;
                Warn(("The movement data holds tracks for only " + std::to_string(i) + " of " +
                      std::to_string(count) + " persons.")
                         .c_str());
            }
            return true;
        }
        SetPosition(static_cast<int>(int64_t{i} * 100 / count));
    }
    return true;
}

}  // namespace

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
    TLoader loader(*this, in, progress, messages);
    loader.Run();
    return true;
}

bool TLogFile1::LoadFromMemory(const char* data, std::size_t size, IProgress& progress,
                               IMessages& messages) {
    TTextReader in;
    in.OpenMemory(data, size);
    TLoader loader(*this, in, progress, messages);
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
