// Buffered reader for the 3D log file's five kinds of read (word, integer,
// letter, digit, rest of line). It streams the file in large chunks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orlex {

class TTextReader {
public:
    static constexpr std::size_t kMaxWord = 255;

    TTextReader() = default;
    ~TTextReader();
    TTextReader(const TTextReader&) = delete;
    TTextReader& operator=(const TTextReader&) = delete;

    bool Open(const std::string& path);
    // Reads from memory instead of a file (fuzzing, tests). The data must outlive the reader.
    void OpenMemory(const char* data, std::size_t size);
    void Close();

    // True when only white space (or nothing) is left.
    bool AtEnd();
    // Skips a UTF-8 byte-order mark at the cursor (Windows editors write one at
    // the start of a file); true when there was one.
    bool SkipByteOrderMark();

    // Longest run of non-white characters, cut at kMaxWord (the rest of the word is
    // skipped). False at the end of the file.
    bool ReadWord(std::string& word);
    // Signed integer with automatic base detection (0x hex, leading 0 octal, else
    // decimal), saturated to the 32-bit range. False when no number follows: nothing
    // but white space is consumed then.
    bool ReadInteger(int& value);
    // Next non-white character, or -1 at the end of the file.
    int ReadLetter() {
        for (;;) {
            while (Pos_ < End_) {
                const unsigned char c = static_cast<unsigned char>(Data_[Pos_++]);
                if (!IsSpace(c)) return c;
            }
            if (!Fill()) return -1;
        }
    }
    // Everything up to the next line end (CR of CR LF dropped), cut at maxLength,
    // then all white space after it. Returns false at the end of the file (nothing
    // left at all); line is empty when the line end follows at once.
    bool ReadRestOfLine(std::string& line, std::size_t maxLength);
    // True when the next non-white text is one of the format's section tags or
    // keywords ("</deck>", "(movement)", ...). Consumes only white space.
    bool AtSectionTag();

    static bool IsSpace(unsigned char c) { return kSpace[c]; }

    // Direct access to the buffered text, for hot loops that scan it with local
    // pointers: read from Cursor() up to Limit(), hand back the position with
    // SetCursor(), and call Refill() at the limit (false at the end of the file).
    const char* Cursor() const { return Data_ + Pos_; }
    const char* Limit() const { return Data_ + End_; }
    void SetCursor(const char* p) { Pos_ = static_cast<std::size_t>(p - Data_); }
    bool Refill() { return Fill(); }
    // Makes up to n bytes from the cursor available at once (the buffer grows when
    // needed) and returns how many are; toEnd tells whether they are all the file
    // has left. Scanners of large parts (the movement data) read such windows.
    std::size_t Window(std::size_t n, bool& toEnd);
    // Reads up to n bytes that follow the buffered text into a spare buffer, which
    // the next Window or Refill takes. Meant for another thread while the buffered
    // text is scanned: it touches neither the buffer nor the cursor. Does nothing
    // when bytes read ahead are still waiting, or without a file.
    void ReadAhead(std::size_t n);

private:
    // Refills the buffer; keeps unread bytes. False when nothing more could be read.
    bool Fill();
    // Makes at least n bytes available from Pos_ if the file has them.
    void Ensure(std::size_t n);
    int Peek() {
        if (Pos_ >= End_ && !Fill()) return -1;
        return static_cast<unsigned char>(Data_[Pos_]);
    }
    void SkipSpace();

    static const bool kSpace[256];
    static constexpr std::size_t kBufferSize = 1 << 20;

    std::FILE* File_ = nullptr;
    char* Buffer_ = nullptr;
    std::size_t Capacity_ = 0;
    // Bytes read ahead: AheadSize_ of them at Spare_ + AheadAt_.
    char* Spare_ = nullptr;
    std::size_t SpareCapacity_ = 0;
    std::size_t AheadAt_ = 0;
    std::size_t AheadSize_ = 0;
    const char* Data_ = nullptr;
    std::size_t Pos_ = 0;
    std::size_t End_ = 0;
    bool Memory_ = false;
};

}  // namespace orlex
