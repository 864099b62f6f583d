// stdio_reader: a straightforward reader of 3D log files, for comparison with the
// project's loader. It reads with fscanf, one word or one letter at a time, keeps
// 8-byte step records in one vector per person and 2-byte cells, as a naive
// implementation would. Prints the number of persons, steps and decks.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Step {
    int32_t Direction;
    int32_t LevelChange;
};

struct Cell {
    uint8_t Code;
    uint8_t Covered;
};

constexpr long long kMaxCells = 1LL << 30;
constexpr long long kMaxPersons = 1LL << 25;
constexpr long long kMaxRun = 1LL << 31;

uint8_t CodeOf(char c) {
    switch (c) {
        case '0':
            return 0;
        case '1':
            return 1;
        case '2':
            return 64;
        case '3':
            return 32;
        case '4':
            return 8;
        case '5':
            return 16;
        default:
            return 4;
    }
}

bool ReadWord(FILE* f, char* word) {
    return std::fscanf(f, "%255s", word) == 1;
}
bool ReadLetter(FILE* f, char& c) {
    return std::fscanf(f, " %c", &c) == 1;
}
bool ReadInt(FILE* f, int& v) {
    return std::fscanf(f, "%i", &v) == 1;
}

// Count of a packed run: decimal digits up to "x". -1 at the end of the file.
long long ReadRunCount(FILE* f) {
    long long n = 0;
    char c = 0;
    while (ReadLetter(f, c)) {
        if (c == 'x') return n;
        if (c >= '0' && c <= '9' && n < kMaxRun) n = n * 10 + (c - '0');
    }
    return -1;
}

struct Project {
    int PMax = 0, XMax = 0, YMax = 0, ZMax = 0, VMax = 0, TOff = 0;
    std::vector<std::vector<Cell>> Decks;
    std::vector<std::vector<Step>> Tracks;
    std::vector<int> Starts;
};

void ReadHeader(FILE* f, Project& p) {
    char word[256];
    p = Project();
    while (ReadWord(f, word) && std::strcmp(word, "</header>") != 0) {
        int v = 0;
        if (std::strcmp(word, "pmax") == 0 && ReadInt(f, v))
            p.PMax = v;
        else if (std::strcmp(word, "xmax") == 0 && ReadInt(f, v))
            p.XMax = v;
        else if (std::strcmp(word, "ymax") == 0 && ReadInt(f, v))
            p.YMax = v;
        else if (std::strcmp(word, "zmax") == 0 && ReadInt(f, v))
            p.ZMax = v;
        else if (std::strcmp(word, "vmax") == 0 && ReadInt(f, v))
            p.VMax = v;
        else if (std::strcmp(word, "toff") == 0 && ReadInt(f, v))
            p.TOff = v;
        else if (std::strcmp(word, "version") == 0)
            ReadInt(f, v);
    }
    const long long cells = static_cast<long long>(p.XMax) * p.YMax;
    if (p.XMax > 0 && p.YMax > 0 && p.ZMax > 0 && cells * p.ZMax <= kMaxCells) {
        p.Decks.assign(static_cast<size_t>(p.ZMax),
                       std::vector<Cell>(static_cast<size_t>(cells), Cell{4, 0}));
    }
    if (p.PMax > 0 && p.PMax <= kMaxPersons) {
        p.Tracks.assign(static_cast<size_t>(p.PMax), {});
        p.Starts.assign(static_cast<size_t>(p.PMax) * 5, 0);
    }
}

bool ReadCells(FILE* f, Project& p, int z) {
    const bool keep = z >= 0 && z < static_cast<int>(p.Decks.size());
    for (int r = 0; r < p.YMax; ++r) {
        int c = 0;
        while (c < p.XMax) {
            char ch = 0;
            if (!ReadLetter(f, ch)) return false;
            long long n = 1;
            if (ch == 'P') {
                n = ReadRunCount(f);
                if (n < 0 || !ReadLetter(f, ch)) return false;
                if (n > p.XMax - c) n = p.XMax - c;
                if (n <= 0) continue;
            }
            for (long long k = 0; k < n; ++k, ++c) {
                if (keep) p.Decks[z][static_cast<size_t>(r) * p.XMax + c].Code = CodeOf(ch);
            }
        }
    }
    return true;
}

void ReadDeck(FILE* f, Project& p) {
    char word[256];
    int level = -1;
    while (ReadWord(f, word) && std::strcmp(word, "</deck>") != 0) {
        if (std::strcmp(word, "level") == 0) {
            ReadInt(f, level);
        } else if (std::strcmp(word, "caption") == 0) {
            char caption[256];
            if (!std::fgets(caption, sizeof caption, f)) return;
        } else if (std::strcmp(word, "(celldata)") == 0) {
            if (!ReadCells(f, p, level)) return;
        }
    }
}

bool ReadTrack(FILE* f, std::vector<Step>* track) {
    char c = 0;
    while (ReadLetter(f, c)) {
        if (c == 'S') return true;
        Step s{0, 0};
        long long n = 1;
        if (c == 'U' || c == 'D') {
            s.LevelChange = c == 'U' ? 1 : -1;
            if (!ReadLetter(f, c)) return false;
        } else if (c == 'P') {
            n = ReadRunCount(f);
            if (n < 0 || !ReadLetter(f, c)) return false;
        }
        s.Direction = c - '0';
        if (track) track->insert(track->end(), static_cast<size_t>(n), s);
    }
    return false;
}

void ReadPersons(FILE* f, Project& p) {
    char word[256];
    while (ReadWord(f, word) && std::strcmp(word, "</persons>") != 0) {
        if (std::strcmp(word, "<startpositions>") == 0) {
            for (int i = 0; i < p.PMax; ++i) {
                for (int k = 0; k < 5; ++k) {
                    int v = 0;
                    if (!ReadInt(f, v)) return;
                    if (!p.Starts.empty()) p.Starts[static_cast<size_t>(i) * 5 + k] = v;
                }
            }
        } else if (std::strcmp(word, "(movement)") == 0) {
            for (int i = 0; i < p.PMax; ++i) {
                std::vector<Step>* track =
                    p.Tracks.empty() ? nullptr : &p.Tracks[static_cast<size_t>(i)];
                if (!ReadTrack(f, track)) return;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stdio_reader FILE.3dl\n");
        return 2;
    }
    FILE* f = std::fopen(argv[1], "r");
    if (!f) {
        std::fprintf(stderr, "stdio_reader: cannot open %s\n", argv[1]);
        return 1;
    }
    Project p;
    char word[256];
    while (ReadWord(f, word)) {
        if (std::strcmp(word, "<header>") == 0)
            ReadHeader(f, p);
        else if (std::strcmp(word, "<deck>") == 0)
            ReadDeck(f, p);
        else if (std::strcmp(word, "<persons>") == 0)
            ReadPersons(f, p);
    }
    std::fclose(f);
    long long steps = 0;
    for (const auto& t : p.Tracks) steps += static_cast<long long>(t.size());
    std::printf("persons %zu\nsteps %lld\ndecks %zu\n", p.Tracks.size(), steps, p.Decks.size());
    return 0;
}
