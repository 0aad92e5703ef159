#include "driver/standard_output.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>

#include "driver/dialogue.hpp"

namespace gironario {
namespace {

using namespace std::string_literals;

TEST(StandardOutput, WritesEveryByteThroughTheCStream) {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&bytes, &size);
    ASSERT_NE(file, nullptr);
    FileStreamBuffer buffer(file);
    std::ostream out(&buffer);
    out << "Di quante cifre \xE8 composto" << '\n' << 4 << '\0' << "\r\n";
    out.flush();
    out << std::string(100000, 'x');
    std::ostringstream err;
    EXPECT_EQ(close_standard_output(buffer, err, EXIT_FAILED), EXIT_FAILED);
    EXPECT_EQ(std::string(bytes, size),
              "Di quante cifre \xE8 composto\n4\0\r\n"s + std::string(100000, 'x'));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(buffer.error(), 0);
    std::free(bytes);
}

// A disk behind a C stream: it takes `room` bytes, then fails with `error`; its close fails with
// `close_error`, when that is not 0, after taking what was left to write.
struct Disk {
    std::size_t room;
    int error;
    int close_error = 0;
    std::string written{};

    std::FILE* open(int buffering) {
        cookie_io_functions_t io{};
        io.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
            Disk& disk = *static_cast<Disk*>(cookie);
            const std::size_t taken = std::min(size, disk.room - disk.written.size());
            disk.written.append(data, taken);
            if (taken < size) {
                errno = disk.error;
            }
            // What went, with errno for the rest, as a file's own write says it; glibc would
            // read a -1 as all of it written.
            return static_cast<ssize_t>(taken);
        };
        io.close = [](void* cookie) {
            const Disk& disk = *static_cast<Disk*>(cookie);
            errno = disk.close_error;
            return disk.close_error == 0 ? 0 : -1;
        };
        std::FILE* file = fopencookie(this, "w", io);
        if (file != nullptr) {
            std::setvbuf(file, nullptr, buffering, 1024);
        }
        return file;
    }
};

// An output fails at the write itself, at a flush or only at the close, depending on its buffer;
// whatever the C library did in between, the reason told is that of the first failure.
TEST(StandardOutput, ToldWithTheReasonOfTheFirstFailure) {
    struct Row {
        const char* name;
        Disk disk;
        int buffering;
        bool flushed;  // the text is flushed before the close
        bool failed_before_close;
        int error;  // the reason told
    };
    Row rows[] = {
        {"unbuffered", {10, ENOSPC}, _IONBF, false, true, ENOSPC},
        {"line buffered", {10, ENOSPC}, _IOLBF, false, true, ENOSPC},
        {"flushed", {10, ENOSPC}, _IOFBF, true, true, ENOSPC},
        {"at the close", {10, ENOSPC, EIO}, _IOFBF, false, false, ENOSPC},
        {"file too large", {0, EFBIG, EIO}, _IONBF, false, true, EFBIG},
        {"only the close fails", {100, ENOSPC, EIO}, _IOFBF, true, false, EIO},
    };
    const std::string text = "Hai inserito\n" + std::to_string(1234567890) + "\n";
    for (Row& row : rows) {
        std::FILE* file = row.disk.open(row.buffering);
        ASSERT_NE(file, nullptr) << row.name;
        FileStreamBuffer buffer(file);
        std::ostream out(&buffer);
        out << "Hai inserito\n" << 1234567890 << '\n';
        if (row.flushed) {
            out.flush();
        }
        EXPECT_EQ(out.bad(), row.failed_before_close) << row.name;
        EXPECT_EQ(buffer.error(), row.failed_before_close ? row.error : 0) << row.name;

        std::ostringstream err;
        EXPECT_EQ(close_standard_output(buffer, err, EXIT_OK), EXIT_FAILED) << row.name;
        EXPECT_EQ(err.str(), "gironario: standard output: errore di scrittura: "s +
                                 std::strerror(row.error) + "\n")
            << row.name;
        EXPECT_EQ(buffer.error(), row.error) << row.name;
        EXPECT_EQ(row.disk.written, text.substr(0, row.disk.room)) << row.name;
    }
}

}  // namespace
}  // namespace gironario
