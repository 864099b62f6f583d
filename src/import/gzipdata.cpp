#include "gzipdata.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "trajectories.h"

namespace orlex::import {

bool IsGzip(std::string_view data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
           static_cast<unsigned char>(data[1]) == 0x8b;
}

std::string Gunzip(std::string_view data, const std::string& name, std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        throw TImportError(name + ": the gzip reader cannot start");
    std::string out;
    const char* next = data.data();
    std::size_t left = data.size();
    int status = Z_OK;
    char buffer[1 << 16];
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0 && left > 0) {
            const std::size_t chunk = std::min<std::size_t>(left, UINT_MAX / 2);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(next));
            z.avail_in = static_cast<uInt>(chunk);
            next += chunk;
            left -= chunk;
        }
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        const std::string message = z.msg ? z.msg : "";
        if (status != Z_OK && status != Z_STREAM_END && !(status == Z_BUF_ERROR && left > 0)) {
            inflateEnd(&z);
            if (status == Z_BUF_ERROR) throw TImportError(name + ": the gzip data is cut off");
            throw TImportError(name + ": broken gzip data" +
                               (message.empty() ? std::string() : " (" + message + ")"));
        }
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > limit) {
            inflateEnd(&z);
            throw TImportError(name + ": unpacks to more than " + std::to_string(limit >> 20) +
                               " MB");
        }
    }
    inflateEnd(&z);
    return out;
}

std::string GunzipHead(std::string_view data, std::size_t size) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return {};
    std::string out(size, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(data.size(), UINT_MAX / 2));
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(size);
    const int status = inflate(&z, Z_SYNC_FLUSH);
    out.resize(size - z.avail_out);
    inflateEnd(&z);
    return status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR ? out : std::string();
}

}  // namespace orlex::import
