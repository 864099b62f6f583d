// Files and command lines the same way on every system: paths are UTF-8 strings
// everywhere in the program, and only this file knows how the system wants them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace orlex {

// The file at a UTF-8 path, opened with fopen's mode ("rb", "wb", ...); null when
// it cannot be opened (errno tells why).
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

// A UTF-8 path as the standard library's path, for streams and std::filesystem.
std::filesystem::path PathOf(const std::string& utf8Path);
// And back: the path as UTF-8.
std::string Utf8Of(const std::filesystem::path& path);

// Renames from to to, replacing a file of that name; false with the reason.
bool RenameFile(const std::string& from, const std::string& to, std::string& error);
// Removes the file if there is one.
void RemoveFile(const std::string& utf8Path);

// Writes the stream's bytes as they are: no line ends are changed on the way.
void UseBinaryOutput(std::FILE* stream);

// Seeks and tells with 64-bit offsets. SeekFile returns false on failure; TellFile
// returns -1.
bool SeekFile(std::FILE* file, std::int64_t offset, int origin);
std::int64_t TellFile(std::FILE* file);

// The program's arguments as UTF-8, the program's name first. Where the system
// hands main() its arguments in a local code page, they are read again from the
// wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Runs a command-line tool's run(arguments without the program's name, out, err):
// writes err to stderr, then out to stdout unchanged; returns run's status, or 1
// ("NAME: cannot write the output") when out cannot be written.
int RunTool(int argc, char** argv, const char* name,
            int (*run)(const std::vector<std::string>&, std::string&, std::string&));

// A whole file mapped into memory for reading.
struct TFileMapping {
    const char* Data = nullptr;  // null for an empty file
    std::size_t Size = 0;
};
enum class TMapResult { Mapped, CannotOpen, NotRegular, CannotMap };
// Maps the file at a UTF-8 path; on failure error holds the system's reason.
TMapResult MapFile(const std::string& utf8Path, TFileMapping& mapping, std::string& error);
void UnmapFile(const TFileMapping& mapping);
// The first length bytes, already read, may leave the process's memory (they are
// read again from the file where used again). Only a hint.
void DropMappedPages(const TFileMapping& mapping, std::size_t length);

}  // namespace orlex
