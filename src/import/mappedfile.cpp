#include "mappedfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "trajectories.h"

namespace orlex::import {

TMappedFile::TMappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw TImportError(path + ": cannot open the file (" + std::strerror(errno) + ")");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw TImportError(path + ": not a regular file");
    }
    Size_ = static_cast<std::size_t>(st.st_size);
    if (Size_ > 0) {
        void* data = ::mmap(nullptr, Size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            ::close(fd);
            throw TImportError(path + ": cannot read the file (" + std::strerror(errno) + ")");
        }
        ::madvise(data, Size_, MADV_SEQUENTIAL);
        Data_ = static_cast<const char*>(data);
    }
    ::close(fd);
}

void TMappedFile::Release(std::size_t offset) const {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t length = std::min(offset, Size_) / page * page;
    if (Data_ && length > 0) ::madvise(const_cast<char*>(Data_), length, MADV_DONTNEED);
}

TMappedFile::~TMappedFile() {
    if (Data_) ::munmap(const_cast<char*>(Data_), Size_);
}

}  // namespace orlex::import
