#include "driver/folder.hpp"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "driver/file_output.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "driver/text_mode.hpp"
#endif

namespace gironario {

namespace {

// Reads in binary mode with no stdio buffer: the line reader brings its own.
class FileInput final : public Input {
  public:
    // `owned`: closed at the end, unlike standard input.
    explicit FileInput(std::FILE* file, bool owned = true) : file_(file), owned_(owned) {
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~FileInput() override {
        if (owned_) {
            std::fclose(file_);
        }
    }
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        if (error_ != 0) {
            return 0;
        }
        errno = 0;
        const std::size_t count = std::fread(buffer, 1, size, file_);
        if (count == 0 && std::ferror(file_)) {
            error_ = errno != 0 ? errno : EIO;
        }
        return count;
    }

    int error() const override { return error_; }

  private:
    std::FILE* file_;
    bool owned_;
    int error_ = 0;
};

// Files are read in binary mode: the line reader brings its own buffer, and line
// ends are left as they are.
std::FILE* open_file(const std::filesystem::path& path, const char* mode, int& error) {
    errno = 0;
    std::FILE* file = std::fopen(path.string().c_str(), mode);
    if (file == nullptr) {
        error = errno != 0 ? errno : EIO;
    }
    return file;
}

}  // namespace

DiskFolder::DiskFolder(std::filesystem::path directory) : directory_(std::move(directory)) {}

std::unique_ptr<Input> DiskFolder::open_exact(const std::string& name, int& error) {
    std::FILE* file = open_file(directory_ / name, "rb", error);
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<FileInput>(file);
}

std::unique_ptr<Input> DiskFolder::open_standard_input(int& /*error*/) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    return std::make_unique<TextModeInput>(std::make_unique<FileInput>(stdin, false));
#else
    return std::make_unique<FileInput>(stdin, false);
#endif
}

std::unique_ptr<Input> DiskFolder::open(const std::string& name, int& error) {
    std::unique_ptr<Input> input = open_exact(name, error);
    if (!input) {
        return nullptr;
    }
#ifdef _WIN32
    // Text files there end their lines with CR LF: the program sees LF, as the C library's text
    // mode would show it, while the file itself is read in large binary blocks.
    input = std::make_unique<TextModeInput>(std::move(input));
#endif
    return input;
}

std::unique_ptr<Output> DiskFolder::create(const std::string& name, int& error) {
    std::unique_ptr<Output> output = create_file(directory_ / name, error);
    if (!output) {
        return nullptr;
    }
#ifdef _WIN32
    output = std::make_unique<TextModeOutput>(std::move(output));
#endif
    return output;
}

std::unique_ptr<Output> DiskFolder::create_exact(const std::string& name, int& error) {
    return create_file(directory_ / name, error);
}

bool DiskFolder::same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(directory_ / a, directory_ / b, error) && !error;
}

bool DiskFolder::is_regular_file(const std::string& name) {
    std::error_code error;
    return std::filesystem::is_regular_file(directory_ / name, error);
}

}  // namespace gironario
