#include "driver/file_output.hpp"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace gironario {

namespace fs = std::filesystem;

namespace {

int last_errno() {
    return errno != 0 ? errno : EIO;
}

// The error number of a failure the file system library reports, as strerror() knows them.
int errno_of(const std::error_code& code) {
    const std::error_condition condition = code.default_error_condition();
    return condition.category() == std::generic_category() ? condition.value() : EIO;
}

// Puts `temporary` in the place of `target` in one step: whoever opens `target` finds the old
// file or the new one, never a part of either.
bool replace(const fs::path& temporary, const fs::path& target, int& error) {
#ifdef _WIN32
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
        return true;
    }
    error = errno_of(std::error_code(static_cast<int>(GetLastError()), std::system_category()));
#else
    errno = 0;
    if (std::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    error = last_errno();
#endif
    return false;
}

// Writes in binary mode with no stdio buffer: the line writer brings its own. Errors are kept
// from the first failure on, and close() and commit() report them along with their own.
class FileOutput final : public Output {
  public:
    // `temporary` is the file written, which takes the place of `target` at commit(); both are
    // empty for a file written directly.
    FileOutput(std::FILE* file, fs::path temporary, fs::path target)
        : file_(file), temporary_(std::move(temporary)), target_(std::move(target)) {
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~FileOutput() override {
        close();
        if (!temporary_.empty()) {
            std::error_code ignored;
            fs::remove(temporary_, ignored);
        }
    }
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    bool write(const char* data, std::size_t size) override {
        if (error_ != 0 || file_ == nullptr) {
            return false;
        }
        errno = 0;
        if (std::fwrite(data, 1, size, file_) != size) {
            error_ = last_errno();
        }
        return error_ == 0;
    }

    // The temporary file stays until commit(), or the end of the output.
    bool close() override {
        if (file_ == nullptr) {
            return error_ == 0;
        }
        errno = 0;
        const bool flushed = std::fflush(file_) == 0;
        const int flush_errno = last_errno();
        errno = 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (error_ == 0 && !flushed) {
            error_ = flush_errno;
        }
        if (error_ == 0 && !closed) {
            error_ = last_errno();
        }
        return error_ == 0;
    }

    bool commit() override {
        if (!close()) {
            return false;
        }
        if (temporary_.empty()) {
            return true;
        }
        if (!replace(temporary_, target_, error_)) {
            return false;
        }
        temporary_.clear();
        return true;
    }

    int error() const override { return error_; }

  private:
    std::FILE* file_;
    fs::path temporary_;
    fs::path target_;
    int error_ = 0;
};

// The file that `path` leads to through symbolic links, which need not exist yet: a link to a
// file not yet made is written as opening it would, by making that file.
bool follow_links(fs::path path, fs::path& target, int& error) {
    // As many links as Linux follows in one name.
    for (int links = 0; links < 40; ++links) {
        std::error_code code;
        const fs::file_status status = fs::symlink_status(path, code);
        if (!fs::is_symlink(status)) {
            target = std::move(path);
            return true;
        }
        const fs::path next = fs::read_symlink(path, code);
        if (code) {
            error = errno_of(code);
            return false;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    error = ELOOP;
    return false;
}

#ifndef _WIN32
// What fopen gives a new file. The mask can only be read by setting it, and it is set back at
// once: the program has one thread.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666) & ~mask;
}
#endif

// Makes an empty file beside `target`, under a name no other file has, with the permissions
// `target` has or, when `target` is new, those a new file gets.
std::FILE* open_temporary(const fs::path& target, [[maybe_unused]] const fs::file_status& status,
                          fs::path& temporary, int& error) {
#ifdef _WIN32
    // The read-only attribute is all the C library knows of a file's permissions, and a
    // read-only target was refused before: the new file's own are those of its folder, as for
    // any new file there.
    int descriptor = -1;
    for (unsigned attempt = 0; descriptor < 0; ++attempt) {
        temporary = target.parent_path() /
                    (L"." + target.filename().wstring() + L"." +
                     std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(attempt));
        errno = 0;
        descriptor = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                            _S_IREAD | _S_IWRITE);
        // Only a name taken by a file left from a run that was killed is worth another try.
        if (descriptor < 0 && (errno != EEXIST || attempt == 100)) {
            error = last_errno();
            return nullptr;
        }
    }
    std::FILE* file = _wfdopen(descriptor, L"wb");
#else
    std::string name =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    errno = 0;
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        error = last_errno();
        return nullptr;
    }
    temporary = name;
    // mkstemp makes the file for its owner alone.
    const mode_t mode = fs::exists(status)
                            ? static_cast<mode_t>(status.permissions() & fs::perms::mask)
                            : new_file_mode();
    errno = 0;
    std::FILE* file = fchmod(descriptor, mode) == 0 ? fdopen(descriptor, "wb") : nullptr;
#endif
    if (file == nullptr) {
        error = last_errno();
#ifdef _WIN32
        _close(descriptor);
#else
        close(descriptor);
#endif
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return file;
}

}  // namespace

std::unique_ptr<Output> create_file(const fs::path& path, int& error) {
    fs::path target;
    if (!follow_links(path, target, error)) {
        return nullptr;
    }
    std::error_code code;
    const fs::file_status status = fs::status(target, code);
    if (code && status.type() != fs::file_type::not_found) {
        error = errno_of(code);
        return nullptr;
    }
    if (fs::is_directory(status)) {
        error = EISDIR;
        return nullptr;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device or a pipe has no place to be replaced in: what goes to it goes at once.
        errno = 0;
        std::FILE* file = std::fopen(path.string().c_str(), "wb");
        if (file == nullptr) {
            error = last_errno();
            return nullptr;
        }
        return std::make_unique<FileOutput>(file, fs::path(), fs::path());
    }
    // A file that could not be written in place is not replaced either, and the user hears of it
    // now, as when it was opened for writing.
    errno = 0;
#ifdef _WIN32
    if (fs::exists(status) && _waccess(target.c_str(), 2) != 0) {
#else
    if (fs::exists(status) && access(target.c_str(), W_OK) != 0) {
#endif
        error = last_errno();
        return nullptr;
    }
    fs::path temporary;
    std::FILE* file = open_temporary(target, status, temporary, error);
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<FileOutput>(file, std::move(temporary), std::move(target));
}

}  // namespace gironario
