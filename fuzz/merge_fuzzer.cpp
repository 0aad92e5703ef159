// Merges two calendars cut from the fuzz input, with every pair of year digits, and checks that
// the merged text holds exactly their match lines, once each and in each calendar's own order.
//
// Input: four bytes of settings, then calendar 1, a line "====", calendar 2. The settings choose
// the buffer sizes of calendar 1's reader, calendar 2's reader and the writer, and a fault: a full
// output after part of the text, or a read error part way through one calendar.

#include <cerrno>
#include <cstdint>
#include <string>

#include "calendar/byte_stream.hpp"
#include "calendar/merge.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

struct Settings {
    std::size_t capacity1;
    std::size_t capacity2;
    std::size_t writer_capacity;
    unsigned char fault;
};

struct Result {
    std::string text;
    long long count;
    bool written;  // the writer closed without losing anything
    bool read_failed;
};

Result run_merge(std::string_view calendar1, std::string_view calendar2, int digits1, int digits2,
                 const Settings& settings, std::size_t output_capacity, std::size_t fail1,
                 std::size_t fail2) {
    Result result;
    StringInput input1{std::string(calendar1), fail1, EIO};
    StringInput input2{std::string(calendar2), fail2, EIO};
    StringOutput output(result.text, output_capacity);
    LineReader reader1(input1, settings.capacity1);
    LineReader reader2(input2, settings.capacity2);
    LineWriter writer(output, settings.writer_capacity);
    Calendar first{reader1, digits1};
    Calendar second{reader2, digits2};
    result.count = merge(first, second, writer);
    result.written = writer.close();
    result.read_failed = reader1.failed() || reader2.failed();
    return result;
}

// Where a fault strikes: a share, chosen by the low bits of the setting, of `size` bytes.
std::size_t fault_point(unsigned char fault, std::size_t size) {
    return size * (fault & 0x3Fu) / 64;
}

void check_pair(std::string_view calendar1, std::string_view calendar2, int digits1, int digits2,
                const Settings& settings) {
    constexpr std::size_t none = StringInput::npos;
    const Result full =
        run_merge(calendar1, calendar2, digits1, digits2, settings, none, none, none);
    require(full.written && !full.read_failed, "a merge without faults reported one");
    check_merged(full.text, written_matches(calendar1, digits1, settings.capacity1),
                 written_matches(calendar2, digits2, settings.capacity2), full.count);

    if (settings.fault < 0x40) {
        return;
    }
    if (settings.fault < 0x80) {
        // A full disk: what reached it is the start of the text, and the loss is reported.
        const std::size_t capacity = fault_point(settings.fault, full.text.size());
        const Result cut_short =
            run_merge(calendar1, calendar2, digits1, digits2, settings, capacity, none, none);
        require(cut_short.text == full.text.substr(0, capacity),
                "a full output holds other than the start of the merged text");
        require(cut_short.written == (capacity >= full.text.size()),
                "a full output went unreported, or a fitting one was reported");
        return;
    }
    // A read error: reported, and everything written before it is the start of the full text
    // when no line had to be written before it was read whole.
    const bool in_first = settings.fault < 0xC0;
    const std::string_view broken = in_first ? calendar1 : calendar2;
    const std::size_t fail_after = fault_point(settings.fault, broken.size());
    const Result failed = run_merge(calendar1, calendar2, digits1, digits2, settings, none,
                                    in_first ? fail_after : none, in_first ? none : fail_after);
    require(failed.read_failed, "a read error went unreported");
    if (longest_line(calendar1) < settings.capacity1 &&
        longest_line(calendar2) < settings.capacity2) {
        require(full.text.compare(0, failed.text.size(), failed.text) == 0,
                "a read error altered what was written before it");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const Settings settings = {reader_capacity(data[0]), reader_capacity(data[1]),
                               writer_capacity(data[2]), data[3]};
    const std::string_view input(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::vector<std::string_view> calendars = cut(input, 2);
    for (const int digits1 : {2, 4}) {
        for (const int digits2 : {2, 4}) {
            check_pair(calendars[0], calendars[1], digits1, digits2, settings);
        }
    }
    return 0;
}
