#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/error.h"

namespace plk {

namespace {

// Closes a descriptor on every path out of a function.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error
    // on some file systems shows up only here).
    bool close() {
        if (fd_ < 0) return true;
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0;
    }

private:
    int fd_;
};

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names once symbolic links are followed, so that replacing
// a linked file keeps the link and updates what it points at.
std::string resolved_target(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;  // dangling link: replace the link itself
    std::string out(real);
    std::free(real);
    return out;
}

// Opens a new, unique file beside target; fills temp_path with its name.
int create_temp_beside(const std::string& target, mode_t mode, std::string& temp_path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_path = dir + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1));
        const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -1;
    }
    return -1;
}

void write_atomic(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const std::string target = resolved_target(path);
    // An existing file keeps its permissions; a new one gets 0644 less the umask.
    mode_t mode = 0644;
    bool keep_mode = false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // Renaming over a directory would fail anyway; say so before writing.
        if (S_ISDIR(st.st_mode)) throw AppError("Cannot create file " + path);
        mode = st.st_mode & 07777;
        keep_mode = true;
    }
    std::string temp;
    Fd fd(create_temp_beside(target, mode, temp));
    if (!fd.ok()) throw AppError("Cannot create file " + path);
    bool ok = write_all(fd.get(), data, size);
    if (ok && keep_mode) ok = ::fchmod(fd.get(), mode) == 0;
    // Flushed before the rename so a crash cannot leave an empty file in place
    // of the old one.
    if (ok) ok = ::fsync(fd.get()) == 0;
    if (!fd.close()) ok = false;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw AppError("Cannot create file " + path);
    }
}

}  // namespace

bool file_exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool copy_file_over(const std::string& src, const std::string& dst) {
    try {
        write_file_atomic(dst, read_file_bytes(src));
        return true;
    } catch (const AppError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::vector<std::uint8_t> read_file_bytes(const std::string& path) {
    // Non-blocking open: a named pipe would otherwise wait here for a writer.
    Fd fd(path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    // Only regular files: a directory cannot be read, a device may never end.
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw AppError("Cannot open file " + path);
    std::vector<std::uint8_t> bytes;
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw AppError("Cannot open file " + path);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

void write_file_atomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (path.empty()) throw AppError("Cannot create file " + path);
    write_atomic(path, bytes.data(), bytes.size());
}

void write_file_atomic(const std::string& path, const std::string& text) {
    if (path.empty()) throw AppError("Cannot create file " + path);
    write_atomic(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string program_directory() {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return "./";
    buffer.resize(static_cast<std::size_t>(n));
    const std::size_t slash = buffer.rfind('/');
    if (slash == std::string::npos) return "./";
    return buffer.substr(0, slash + 1);
}

std::string file_name_part(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace plk
