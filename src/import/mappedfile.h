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

    // The text, after a UTF-8 byte-order mark where the file starts with one.
    std::string_view View() const { return {Map_.Data + Skip_, Map_.Size - Skip_}; }
    // Read up to offset: its pages leave the process's memory (they stay in the
    // system's file cache, and are read again where the data is used again).
    void Release(std::size_t offset) const;

private:
    TFileMapping Map_;
    std::size_t Skip_ = 0;  // the byte-order mark
};

}  // namespace orlex::import
