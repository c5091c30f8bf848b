#include "port/os/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

FileRead ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes, int* errorNumber) {
    int ignored = 0;
    int& error = errorNumber ? *errorNumber : ignored;
    error = 0;
    bytes->clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = errno;
        return FileRead::CannotOpen;
    }
    char chunk[1 << 16];
    FileRead result = FileRead::Ok;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (limit != 0 && got > limit - std::min(limit, bytes->size())) {
            error = EFBIG;
            result = FileRead::TooLarge;
            break;
        }
        bytes->append(chunk, got);
        if (got < sizeof chunk) {
            if (std::ferror(file)) {
                error = errno != 0 ? errno : EIO;
                result = FileRead::CannotRead;
            }
            break;
        }
    }
    std::fclose(file);
    return result;
}
