#pragma once
// Opening and examining a file by name alike on Linux and Windows. Names are UTF-8
// on both; on Windows they become the system's wide names, so that any name can be
// opened. Files are opened for reading their bytes unchanged and are not handed on
// to child processes; on Linux without blocking, so that a FIFO put in place of a
// file does not stop the program. Each returns what the POSIX call it stands for
// returns, with the reason in errno.

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <io.h>

#include <cerrno>
#include <string_view>
#include <system_error>
#else
#include <unistd.h>
#endif

#ifdef _WIN32

using FileInfo = struct _stat64;

// The path of a UTF-8 name. (A path made from a plain string would read it in the
// code page of the C runtime; a path's string() is UTF-8.) Throws
// std::filesystem::filesystem_error when the name is not UTF-8.
inline std::filesystem::path PathFromUtf8(const std::string& path) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

namespace file_io_detail {
// The wide name of a UTF-8 name; false (errno set) when the name is not UTF-8.
inline bool WideName(const std::string& path, std::wstring& wide) {
    try {
        wide = PathFromUtf8(path).native();
        return true;
    } catch (const std::system_error&) {
        errno = EILSEQ;
        return false;
    }
}
}  // namespace file_io_detail

inline int OpenForReading(const std::string& path) {
    std::wstring wide;
    if (!file_io_detail::WideName(path, wide)) return -1;
    return ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
inline int InfoOfPath(const std::string& path, FileInfo& info) {
    std::wstring wide;
    if (!file_io_detail::WideName(path, wide)) return -1;
    return ::_wstat64(wide.c_str(), &info);
}
inline int InfoOfOpenFile(int fd, FileInfo& info) {
    return ::_fstat64(fd, &info);
}

#else

using FileInfo = struct stat;

// The path of a name, whose bytes are the file system's.
inline std::filesystem::path PathFromUtf8(const std::string& path) {
    return std::filesystem::path(path);
}

inline int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
inline int InfoOfPath(const std::string& path, FileInfo& info) {
    return ::stat(path.c_str(), &info);
}
inline int InfoOfOpenFile(int fd, FileInfo& info) {
    return ::fstat(fd, &info);
}

#endif
