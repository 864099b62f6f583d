// Files that may be gzip-compressed, read whole into memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orlex::import {

// Whether data starts with gzip's magic bytes.
bool IsGzip(std::string_view data);

// The data unpacked; name is used in messages. Refuses more than limit bytes
// unpacked. Throws TImportError for broken or cut-off data.
std::string Gunzip(std::string_view data, const std::string& name,
                   std::size_t limit = std::size_t{4} << 30);

// The first bytes unpacked, at most size of them; empty for broken data.
std::string GunzipHead(std::string_view data, std::size_t size);

}  // namespace orlex::import
