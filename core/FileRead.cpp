#include "core/FileRead.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qmfile {

namespace {

// The rest of an open file, in pieces, stopped at the limit.
template <class ReadSome>
ReadResult ReadAll(ReadSome readSome, std::size_t limit, std::vector<unsigned char>* bytes,
                   std::size_t* seen, char* reason, std::size_t reasonSize) {
    unsigned char chunk[65536];
    for (;;) {
        const long got = readSome(chunk, sizeof chunk);
        if (got == 0) return ReadResult::Read;
        if (got < 0) {
            std::snprintf(reason, reasonSize, "it could not be read (%s)", std::strerror(errno));
            bytes->clear();
            return ReadResult::Failed;
        }
        if (bytes->size() + std::size_t(got) > limit) {
            *seen = bytes->size() + std::size_t(got);
            bytes->clear();
            return ReadResult::TooLarge;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
}

}  // namespace

ReadResult ReadWholeFile(const char* path, std::size_t limit, std::vector<unsigned char>* bytes,
                         std::size_t* seen, char* reason, std::size_t reasonSize) {
    bytes->clear();
    *seen = 0;
#if defined(_WIN32)
    struct _stat64 info;
    if (_stat64(path, &info) == 0 && !(info.st_mode & _S_IFREG)) {
        std::snprintf(reason, reasonSize, "it is not a regular file");
        return ReadResult::Failed;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
        return ReadResult::Failed;
    }
    const ReadResult result = ReadAll(
        [file](unsigned char* to, std::size_t n) {
            const std::size_t got = std::fread(to, 1, n, file);
            return got == 0 && std::ferror(file) ? -1L : long(got);
        },
        limit, bytes, seen, reason, reasonSize);
    std::fclose(file);
    return result;
#else
    // Opened without waiting, then checked: race-free, where a look at the
    // path before opening it would not be.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
        return ReadResult::Failed;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        std::snprintf(reason, reasonSize, "it is not a regular file");
        close(fd);
        return ReadResult::Failed;
    }
    if (static_cast<unsigned long long>(info.st_size) > limit) {
        *seen = static_cast<std::size_t>(info.st_size);
        close(fd);
        return ReadResult::TooLarge;
    }
    bytes->reserve(static_cast<std::size_t>(info.st_size));
    const ReadResult result = ReadAll(
        [fd](unsigned char* to, std::size_t n) {
            ssize_t got;
            do got = read(fd, to, n);
            while (got < 0 && errno == EINTR);
            return long(got);
        },
        limit, bytes, seen, reason, reasonSize);
    close(fd);
    return result;
#endif
}

}  // namespace qmfile
