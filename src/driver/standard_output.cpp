#include "driver/standard_output.hpp"

#include <cerrno>
#include <cstring>

#include "driver/exit_status.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace gironario {

FileStreamBuffer::FileStreamBuffer(std::FILE* file) : file_(file) {}

bool FileStreamBuffer::put(const char* data, std::size_t size) {
    if (error_ != 0 || file_ == nullptr) {
        return false;
    }
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size) {
        fail();
    }
    return error_ == 0;
}

void FileStreamBuffer::fail() {
    // A C library may fail without telling why; the disk was still what failed.
    error_ = errno != 0 ? errno : EIO;
}

void FileStreamBuffer::write_exactly() {
#ifdef _WIN32
    if (file_ != nullptr) {
        std::fflush(file_);
        _setmode(_fileno(file_), _O_BINARY);
    }
#endif
}

StreamOutput::StreamOutput(std::ostream& out, bool exact) : out_(out) {
    if (auto* buffer = dynamic_cast<FileStreamBuffer*>(out_.rdbuf()); buffer != nullptr && exact) {
        buffer->write_exactly();
    }
}

bool StreamOutput::write(const char* data, std::size_t size) {
    held_.append(data, size);
    return true;
}

bool StreamOutput::close() {
    held_.clear();
    return error_ == 0;
}

bool StreamOutput::commit() {
    if (error_ == 0) {
        out_.write(held_.data(), static_cast<std::streamsize>(held_.size()));
        out_.flush();
    }
    held_.clear();
    return check();
}

bool StreamOutput::check() {
    if (error_ == 0 && !out_) {
        const auto* buffer = dynamic_cast<FileStreamBuffer*>(out_.rdbuf());
        error_ = buffer != nullptr && buffer->error() != 0 ? buffer->error() : EIO;
    }
    return error_ == 0;
}

FileStreamBuffer::int_type FileStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    }
    const char byte = traits_type::to_char_type(c);
    return put(&byte, 1) ? c : traits_type::eof();
}

std::streamsize FileStreamBuffer::xsputn(const char* data, std::streamsize size) {
    return put(data, static_cast<std::size_t>(size)) ? size : 0;
}

int FileStreamBuffer::sync() {
    if (error_ != 0 || file_ == nullptr) {
        return -1;
    }
    errno = 0;
    if (std::fflush(file_) != 0) {
        fail();
        return -1;
    }
    return 0;
}

bool FileStreamBuffer::close() {
    if (file_ == nullptr) {
        return error_ == 0;
    }
    sync();
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (error_ == 0 && !closed) {
        fail();
    }
    return error_ == 0;
}

int close_standard_output(FileStreamBuffer& output, std::ostream& err, int status) {
    if (output.close()) {
        return status;
    }
    err << "gironario: standard output: errore di scrittura: " << std::strerror(output.error())
        << '\n';
    err.flush();
    return EXIT_FAILED;
}

}  // namespace gironario
