// A whole file mapped into memory for reading.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "osfile.h"

namespace orlex::import {

class TMappedFile {
public:
    // Throws TImportError when the file cannot be opened or mapped.
    explicit TMappedFile(const std::string& path);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    std::string_view View() const { return {Map_.Data, Map_.Size}; }
    // Read up to offset: its pages leave the process's memory (they stay in the
    // system's file cache, and are read again where the data is used again).
    void Release(std::size_t offset) const;

private:
    TFileMapping Map_;
};

}  // namespace orlex::import
