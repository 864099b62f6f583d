#include "mappedfile.h"

#include "trajectories.h"

namespace orlex::import {

TMappedFile::TMappedFile(const std::string& path) {
    std::string error;
    switch (MapFile(path, Map_, error)) {
        case TMapResult::Mapped:
            if (std::string_view(Map_.Data ? Map_.Data : "", Map_.Size).starts_with("\xEF\xBB\xBF"))
                Skip_ = 3;
            return;
        case TMapResult::CannotOpen:
            throw TImportError(path + ": cannot open the file (" + error + ")");
        case TMapResult::NotRegular:
            throw TImportError(path + ": not a regular file");
        case TMapResult::CannotMap:
            break;
    }
    throw TImportError(path + ": cannot read the file (" + error + ")");
}

void TMappedFile::Release(std::size_t offset) const {
    DropMappedPages(Map_, offset + Skip_);
}

TMappedFile::~TMappedFile() {
    UnmapFile(Map_);
}

}  // namespace orlex::import
