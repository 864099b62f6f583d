#include "textreader.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <utility>

#include "osfile.h"

namespace orlex {

namespace {
constexpr bool MakeSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

const bool TTextReader::kSpace[256] = {
#define S(i) MakeSpace(static_cast<unsigned char>(i))
#define S4(i) S(i), S(i + 1), S(i + 2), S(i + 3)
#define S16(i) S4(i), S4(i + 4), S4(i + 8), S4(i + 12)
#define S64(i) S16(i), S16(i + 16), S16(i + 32), S16(i + 48)
    S64(0), S64(64), S64(128), S64(192)
#undef S64
#undef S16
#undef S4
#undef S
};

TTextReader::~TTextReader() {
    Close();
}

bool TTextReader::Open(const std::string& path) {
    Close();
    File_ = OpenFile(path, "rb");
    if (!File_) return false;
    Buffer_ = new char[kBufferSize];
    Capacity_ = kBufferSize;
    Data_ = Buffer_;
    return true;
}

void TTextReader::OpenMemory(const char* data, std::size_t size) {
    Close();
    Memory_ = true;
    Data_ = data;
    End_ = size;
}

void TTextReader::Close() {
    if (File_) std::fclose(File_);
    File_ = nullptr;
    delete[] Buffer_;
    Buffer_ = nullptr;
    Capacity_ = 0;
    delete[] Spare_;
    Spare_ = nullptr;
    SpareCapacity_ = AheadAt_ = AheadSize_ = 0;
    Data_ = nullptr;
    Pos_ = End_ = 0;
    Memory_ = false;
}

bool TTextReader::Fill() {
    if (!File_) return false;
    const std::size_t keep = End_ - Pos_;
    if (AheadSize_ > 0) {
        if (keep <= AheadAt_) {
            // The unread rest goes just before the bytes read ahead; the buffers swap.
            std::memcpy(Spare_ + AheadAt_ - keep, Data_ + Pos_, keep);
            std::swap(Buffer_, Spare_);
            std::swap(Capacity_, SpareCapacity_);
            Pos_ = AheadAt_ - keep;
            End_ = AheadAt_ + AheadSize_;
        } else {
            if (Capacity_ < keep + AheadSize_) {
                char* bigger = new char[keep + AheadSize_];
                std::memcpy(bigger, Buffer_ + Pos_, keep);
                delete[] Buffer_;
                Buffer_ = bigger;
                Capacity_ = keep + AheadSize_;
            } else {
                std::memmove(Buffer_, Buffer_ + Pos_, keep);
            }
            std::memcpy(Buffer_ + keep, Spare_ + AheadAt_, AheadSize_);
            Pos_ = 0;
            End_ = keep + AheadSize_;
        }
        Data_ = Buffer_;
        AheadSize_ = 0;
        return true;
    }
    if (keep > 0 && Pos_ > 0) std::memmove(Buffer_, Buffer_ + Pos_, keep);
    Pos_ = 0;
    End_ = keep;
    const std::size_t got = std::fread(Buffer_ + End_, 1, Capacity_ - End_, File_);
    End_ += got;
    return got > 0;
}

std::size_t TTextReader::Window(std::size_t n, bool& toEnd) {
    if (File_ && n > Capacity_) {
        // Room for the whole window; the unread bytes move to the front.
        char* bigger = new char[n];
        const std::size_t keep = End_ - Pos_;
        std::memcpy(bigger, Buffer_ + Pos_, keep);
        delete[] Buffer_;
        Buffer_ = bigger;
        Data_ = Buffer_;
        Capacity_ = n;
        Pos_ = 0;
        End_ = keep;
    }
    bool failed = false;
    while (File_ && End_ - Pos_ < n && (AheadSize_ > 0 || !std::feof(File_)) && !failed)
        failed = !Fill();
    const std::size_t have = End_ - Pos_;
    // Without a file, or once it is read to its end, the buffer holds all that is left.
    const bool all = !File_ || ((std::feof(File_) || failed) && AheadSize_ == 0);
    toEnd = all && have <= n;
    return have < n ? have : n;
}

void TTextReader::ReadAhead(std::size_t n) {
    if (!File_ || AheadSize_ > 0 || std::feof(File_) || std::ferror(File_)) return;
    if (SpareCapacity_ < 2 * n) {
        delete[] Spare_;
        Spare_ = nullptr;
        SpareCapacity_ = 0;
        Spare_ = new char[2 * n];
        SpareCapacity_ = 2 * n;
    }
    AheadAt_ = SpareCapacity_ - n;  // room before it for the unread rest of the buffer
    AheadSize_ = std::fread(Spare_ + AheadAt_, 1, n, File_);
}

void TTextReader::Ensure(std::size_t n) {
    while (End_ - Pos_ < n) {
        if (!Fill()) return;
    }
}

void TTextReader::SkipSpace() {
    for (;;) {
        while (Pos_ < End_) {
            if (!IsSpace(static_cast<unsigned char>(Data_[Pos_]))) return;
            ++Pos_;
        }
        if (!Fill()) return;
    }
}

bool TTextReader::SkipByteOrderMark() {
    Ensure(3);
    if (End_ - Pos_ < 3 || static_cast<unsigned char>(Data_[Pos_]) != 0xEF ||
        static_cast<unsigned char>(Data_[Pos_ + 1]) != 0xBB ||
        static_cast<unsigned char>(Data_[Pos_ + 2]) != 0xBF)
        return false;
    Pos_ += 3;
    return true;
}

bool TTextReader::AtEnd() {
    SkipSpace();
    return Peek() < 0;
}

bool TTextReader::ReadWord(std::string& word) {
    word.clear();
    SkipSpace();
    for (;;) {
        while (Pos_ < End_) {
            const unsigned char c = static_cast<unsigned char>(Data_[Pos_]);
            if (IsSpace(c)) return true;
            if (word.size() < kMaxWord) word.push_back(static_cast<char>(c));
            ++Pos_;
        }
        if (!Fill()) return !word.empty();
    }
}

bool TTextReader::ReadInteger(int& value) {
    SkipSpace();
    Ensure(4);
    std::size_t p = Pos_;
    bool negative = false;
    if (p < End_ && (Data_[p] == '+' || Data_[p] == '-')) {
        negative = Data_[p] == '-';
        ++p;
    }
    auto digitOf = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 99;
    };
    if (p >= End_ || Data_[p] < '0' || Data_[p] > '9') return false;
    int base = 10;
    if (Data_[p] == '0') {
        base = 8;
        if (p + 2 < End_ && (Data_[p + 1] == 'x' || Data_[p + 1] == 'X') &&
            digitOf(Data_[p + 2]) < 16) {
            base = 16;
            p += 2;
        }
    }
    Pos_ = p;
    int64_t magnitude = 0;
    for (;;) {
        while (Pos_ < End_) {
            const int d = digitOf(Data_[Pos_]);
            if (d >= base) goto done;
            if (magnitude <= INT64_C(1) << 40) magnitude = magnitude * base + d;
            ++Pos_;
        }
        if (!Fill()) break;
    }
done:
    if (negative) magnitude = -magnitude;
    if (magnitude > INT_MAX) magnitude = INT_MAX;
    if (magnitude < INT_MIN) magnitude = INT_MIN;
    value = static_cast<int>(magnitude);
    return true;
}

bool TTextReader::ReadRestOfLine(std::string& line, std::size_t maxLength) {
    line.clear();
    if (Peek() < 0) return false;
    std::size_t total = 0;
    bool lastWasCR = false;
    bool ended = false;
    while (!ended) {
        while (Pos_ < End_) {
            const char c = Data_[Pos_++];
            if (c == '\n') {
                ended = true;
                break;
            }
            ++total;
            if (line.size() < maxLength) line.push_back(c);
            lastWasCR = c == '\r';
        }
        if (!ended && !Fill()) break;
    }
    // The CR of a CR LF pair is not part of the text.
    if (ended && lastWasCR && total <= maxLength) line.pop_back();
    SkipSpace();
    return true;
}

bool TTextReader::AtSectionTag() {
    static constexpr std::string_view kTags[] = {
        "<header>",   "</header>",        "<deck>",     "</deck>",    "<persons>",
        "</persons>", "<startpositions>", "(movement)", "(celldata)",
    };
    SkipSpace();
    const int c = Peek();
    if (c != '<' && c != '(') return false;
    Ensure(18);
    const std::string_view rest(Data_ + Pos_, End_ - Pos_);
    for (std::string_view tag : kTags) {
        if (rest.size() >= tag.size() && rest.substr(0, tag.size()) == tag &&
            (rest.size() == tag.size() || IsSpace(static_cast<unsigned char>(rest[tag.size()]))))
            return true;
    }
    return false;
}

}  // namespace orlex
