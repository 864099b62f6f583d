#include "osfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <shellapi.h>
// then the C runtime's
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orlex {

std::filesystem::path PathOf(const std::string& utf8Path) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8Path.data()), utf8Path.size()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

bool RenameFile(const std::string& from, const std::string& to, std::string& error) {
    std::error_code failed;
    std::filesystem::rename(PathOf(from), PathOf(to), failed);
    if (failed) error = failed.message();
    return !failed;
}

void RemoveFile(const std::string& utf8Path) {
    std::error_code ignored;
    std::filesystem::remove(PathOf(utf8Path), ignored);
}

int RunTool(int argc, char** argv, const char* name,
            int (*run)(const std::vector<std::string>&, std::string&, std::string&)) {
    std::vector<std::string> args = Utf8Arguments(argc, argv);
    args.erase(args.begin(), args.begin() + (args.empty() ? 0 : 1));
    UseBinaryOutput(stdout);
    std::string out;
    std::string err;
    int status = run(args, out, err);
    std::fputs(err.c_str(), stderr);
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s: cannot write the output\n", name);
        status = status == 0 ? 1 : status;
    }
    return status;
}

#ifdef _WIN32

namespace {

std::string Utf8OfWide(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

std::string LastError() {
    return std::system_category().message(static_cast<int>(::GetLastError()));
}

}  // namespace

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    std::wstring wideMode;
    for (const char* m = mode; *m; ++m) wideMode += static_cast<wchar_t>(*m);
    return ::_wfopen(PathOf(utf8Path).c_str(), wideMode.c_str());
}

void UseBinaryOutput(std::FILE* stream) {
    ::_setmode(::_fileno(stream), _O_BINARY);
}

bool SeekFile(std::FILE* file, std::int64_t offset, int origin) {
    return ::_fseeki64(file, offset, origin) == 0;
}

std::int64_t TellFile(std::FILE* file) {
    return ::_ftelli64(file);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(Utf8OfWide(wide[i]));
    ::LocalFree(wide);
    return args;
}

TMapResult MapFile(const std::string& utf8Path, TFileMapping& mapping, std::string& error) {
    mapping = {};
    const HANDLE file =
        ::CreateFileW(PathOf(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastError();
        return TMapResult::CannotOpen;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size)) {
        ::CloseHandle(file);
        return TMapResult::NotRegular;
    }
    mapping.Size = static_cast<std::size_t>(size.QuadPart);
    if (mapping.Size > 0) {
        const HANDLE map = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void* data = map ? ::MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (!data) error = LastError();
        if (map) ::CloseHandle(map);
        if (!data) {
            ::CloseHandle(file);
            mapping = {};
            return TMapResult::CannotMap;
        }
        mapping.Data = static_cast<const char*>(data);
    }
    ::CloseHandle(file);
    return TMapResult::Mapped;
}

void UnmapFile(const TFileMapping& mapping) {
    if (mapping.Data) ::UnmapViewOfFile(mapping.Data);
}

void DropMappedPages(const TFileMapping&, std::size_t) {
    // The system trims a mapped view's pages from the working set by itself.
}

#else

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
    return std::fopen(utf8Path.c_str(), mode);
}

void UseBinaryOutput(std::FILE*) {}

bool SeekFile(std::FILE* file, std::int64_t offset, int origin) {
    return ::fseeko(file, static_cast<off_t>(offset), origin) == 0;
}

std::int64_t TellFile(std::FILE* file) {
    return static_cast<std::int64_t>(::ftello(file));
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

TMapResult MapFile(const std::string& utf8Path, TFileMapping& mapping, std::string& error) {
    mapping = {};
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return TMapResult::CannotOpen;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TMapResult::NotRegular;
    }
    mapping.Size = static_cast<std::size_t>(st.st_size);
    if (mapping.Size > 0) {
        void* data = ::mmap(nullptr, mapping.Size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            error = std::strerror(errno);
            ::close(fd);
            mapping = {};
            return TMapResult::CannotMap;
        }
        ::madvise(data, mapping.Size, MADV_SEQUENTIAL);
        mapping.Data = static_cast<const char*>(data);
    }
    ::close(fd);
    return TMapResult::Mapped;
}

void UnmapFile(const TFileMapping& mapping) {
    if (mapping.Data) ::munmap(const_cast<char*>(mapping.Data), mapping.Size);
}

void DropMappedPages(const TFileMapping& mapping, std::size_t length) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    length = std::min(length, mapping.Size) / page * page;
    if (mapping.Data && length > 0)
        ::madvise(const_cast<char*>(mapping.Data), length, MADV_DONTNEED);
}

#endif

}  // namespace orlex
