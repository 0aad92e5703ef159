#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

#include "io/byte_stream.hpp"

namespace gironario {

// A stream buffer that writes through a C stream, keeping the system's error number of the first
// write or flush that failed: the C stream only keeps a flag, and errno is long gone by the time
// the program checks its output at the end. After a failure it writes nothing more.
class FileStreamBuffer final : public std::streambuf {
  public:
    explicit FileStreamBuffer(std::FILE* file);
    FileStreamBuffer(const FileStreamBuffer&) = delete;
    FileStreamBuffer& operator=(const FileStreamBuffer&) = delete;

    // The error number of the first failure, 0 while none has happened.
    int error() const { return error_; }

    // Flushes and closes the C stream; false when that, or any write before it, failed.
    bool close();

    // From now on bytes go out exactly as they are, with no line end changed (on Windows, where
    // the console's stream turns LF into CR LF).
    void write_exactly();

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

  private:
    bool put(const char* data, std::size_t size);
    void fail();

    std::FILE* file_;
    int error_ = 0;
};

// The result of a run written to standard output (-o -): the bytes go to the stream as they are,
// once the result is whole, so that a run that fails writes nothing there. With `exact`, line
// ends are never changed on the way (an iCalendar file's CR LF).
class StreamOutput final : public Output {
  public:
    StreamOutput(std::ostream& out, bool exact);

    bool write(const char* data, std::size_t size) override;
    // Drops what was written.
    bool close() override;
    // Writes it all.
    bool commit() override;
    int error() const override { return error_; }

  private:
    bool check();

    std::ostream& out_;
    std::string held_;
    int error_ = 0;
};

// Closes the program's standard output: a failed write is told on `err` as
// "gironario: standard output: errore di scrittura: <reason>", and the run then ends in failure.
// Returns `status`, or EXIT_FAILED when the output failed.
int close_standard_output(FileStreamBuffer& output, std::ostream& err, int status);

}  // namespace gironario
