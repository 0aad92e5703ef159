#include "io/zip_archive.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "io/xml_reader.hpp"

namespace gironario {

namespace {

constexpr std::uint32_t END_SIGNATURE = 0x06054b50;
constexpr std::uint32_t ZIP64_LOCATOR_SIGNATURE = 0x07064b50;
constexpr std::uint32_t CENTRAL_SIGNATURE = 0x02014b50;
constexpr std::uint32_t LOCAL_SIGNATURE = 0x04034b50;
constexpr std::size_t END_SIZE = 22;
constexpr std::size_t ZIP64_LOCATOR_SIZE = 20;
constexpr std::size_t CENTRAL_SIZE = 46;
constexpr std::size_t LOCAL_SIZE = 30;
constexpr std::size_t LONGEST_COMMENT = 0xFFFF;

constexpr std::uint16_t FLAG_ENCRYPTED = 0x0001;
constexpr std::uint16_t FLAG_DATA_DESCRIPTOR = 0x0008;
constexpr std::uint16_t FLAG_STRONG_ENCRYPTION = 0x0040;
constexpr std::uint16_t METHOD_STORED = 0;
constexpr std::uint16_t METHOD_DEFLATED = 8;

const std::string DAMAGED_DIRECTORY =
    "il file \xE8 un archivio zip danneggiato: l'elenco dei file non si legge";

// Little-endian fields; the callers have checked that the bytes are there.
std::uint16_t u16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t u32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(u16(bytes, at)) |
           static_cast<std::uint32_t>(u16(bytes, at + 2)) << 16;
}

std::string member_error(std::string_view name, std::string_view what) {
    return "il file " + latin1_of(name) + " dell'archivio zip " + std::string(what);
}

// Inflates raw deflate data, stopping as soon as the output passes `expected` (the size the
// directory gives) or `limit`, so that a bomb never costs more memory than that.
bool inflate_member(std::string_view data, std::size_t expected, std::string& out) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return false;
    }
    // The directory's size is only trusted up to what deflate can make of the data, at most
    // 1032 bytes for each one, so that a forged size reserves no more than that.
    out.clear();
    out.reserve(std::min(expected, data.size() * 1032 + 1024));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    char buffer[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t made = sizeof buffer - stream.avail_out;
        if (made > expected - out.size()) {
            status = Z_DATA_ERROR;
            break;
        }
        out.append(buffer, made);
        if (status == Z_BUF_ERROR || (status == Z_OK && made == 0 && stream.avail_in == 0)) {
            status = Z_DATA_ERROR;  // the data ends before the deflate stream does
        }
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && out.size() == expected;
}

}  // namespace

bool ZipArchive::open(std::string_view bytes, std::string& error) {
    bytes_ = {};
    names_.clear();
    members_.clear();
    if (bytes.size() < END_SIZE) {
        error = "il file non \xE8 un archivio zip: \xE8 troppo corto";
        return false;
    }
    // The end record stands before a comment of up to 64 KiB; the last one whose comment
    // reaches no further than the file is the archive's.
    std::size_t end = std::string_view::npos;
    const std::size_t lowest =
        bytes.size() - END_SIZE - std::min(LONGEST_COMMENT, bytes.size() - END_SIZE);
    for (std::size_t at = bytes.size() - END_SIZE + 1; at-- > lowest;) {
        if (u32(bytes, at) == END_SIGNATURE &&
            at + END_SIZE + u16(bytes, at + 20) <= bytes.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string_view::npos) {
        error = "il file non \xE8 un archivio zip: manca l'elenco dei file";
        return false;
    }
    const std::uint16_t disk = u16(bytes, end + 4);
    const std::uint16_t directory_disk = u16(bytes, end + 6);
    const std::uint16_t count_here = u16(bytes, end + 8);
    const std::uint16_t count = u16(bytes, end + 10);
    const std::uint32_t directory_size = u32(bytes, end + 12);
    const std::uint32_t directory_offset = u32(bytes, end + 16);
    if ((end >= ZIP64_LOCATOR_SIZE &&
         u32(bytes, end - ZIP64_LOCATOR_SIZE) == ZIP64_LOCATOR_SIGNATURE) ||
        count == 0xFFFF || directory_size == 0xFFFFFFFF || directory_offset == 0xFFFFFFFF) {
        error = "il file \xE8 un archivio zip64, che non si legge: salvarlo di nuovo come zip";
        return false;
    }
    if (disk != 0 || directory_disk != 0 || count_here != count) {
        error = "il file \xE8 una parte di un archivio zip diviso in pi\xF9 file: unirli in uno";
        return false;
    }
    if (directory_offset > end || directory_size > end - directory_offset ||
        count > directory_size / CENTRAL_SIZE) {
        error = DAMAGED_DIRECTORY;
        return false;
    }
    names_.reserve(count);
    members_.reserve(count);
    std::size_t at = directory_offset;
    const std::size_t directory_end = std::size_t{directory_offset} + directory_size;
    for (std::size_t i = 0; i < count; ++i) {
        if (directory_end - at < CENTRAL_SIZE || u32(bytes, at) != CENTRAL_SIGNATURE) {
            error = DAMAGED_DIRECTORY;
            names_.clear();
            members_.clear();
            return false;
        }
        Member member;
        member.flags = u16(bytes, at + 8);
        member.method = u16(bytes, at + 10);
        member.crc = u32(bytes, at + 16);
        member.compressed_size = u32(bytes, at + 20);
        member.size = u32(bytes, at + 24);
        member.local_offset = u32(bytes, at + 42);
        const std::size_t name_length = u16(bytes, at + 28);
        const std::size_t extra_length = u16(bytes, at + 30);
        const std::size_t comment_length = u16(bytes, at + 32);
        const std::size_t record_size = CENTRAL_SIZE + name_length + extra_length + comment_length;
        if (record_size > directory_end - at) {
            error = DAMAGED_DIRECTORY;
            names_.clear();
            members_.clear();
            return false;
        }
        names_.emplace_back(bytes.substr(at + CENTRAL_SIZE, name_length));
        members_.push_back(member);
        at += record_size;
    }
    bytes_ = bytes;
    return true;
}

const std::vector<std::string>& ZipArchive::names() const {
    return names_;
}

bool ZipArchive::has(std::string_view name) const {
    return find(name) != nullptr;
}

const ZipArchive::Member* ZipArchive::find(std::string_view name) const {
    const auto found = std::find(names_.begin(), names_.end(), name);
    return found == names_.end() ? nullptr
                                 : &members_[static_cast<std::size_t>(found - names_.begin())];
}

bool ZipArchive::read(std::string_view name, std::string& out, std::string& error,
                      std::size_t limit) const {
    out.clear();
    const Member* member = find(name);
    if (member == nullptr) {
        error = "nell'archivio zip manca il file " + latin1_of(name);
        return false;
    }
    if ((member->flags & (FLAG_ENCRYPTED | FLAG_STRONG_ENCRYPTION)) != 0) {
        error = member_error(name, "\xE8 cifrato: salvarlo senza password");
        return false;
    }
    if (member->method != METHOD_STORED && member->method != METHOD_DEFLATED) {
        error = member_error(name, "\xE8 compresso con il metodo " +
                                       std::to_string(member->method) + ", che non si legge");
        return false;
    }
    if (member->size > limit) {
        error = member_error(
            name, "\xE8 troppo grande: estratto passerebbe " +
                      (limit >= (std::size_t{1} << 20) ? std::to_string(limit >> 20) + " MiB"
                                                       : std::to_string(limit) + " byte"));
        return false;
    }
    const std::string damaged = member_error(name, "\xE8 danneggiato");
    // The local header repeats what the directory says; where the two disagree, or the data
    // would lie outside the file, the archive has been cut or patched.
    const std::size_t at = member->local_offset;
    if (at > bytes_.size() || bytes_.size() - at < LOCAL_SIZE ||
        u32(bytes_, at) != LOCAL_SIGNATURE) {
        error = damaged;
        return false;
    }
    const std::uint16_t local_flags = u16(bytes_, at + 6);
    const std::size_t name_length = u16(bytes_, at + 26);
    const std::size_t extra_length = u16(bytes_, at + 28);
    const bool sizes_after = (local_flags & FLAG_DATA_DESCRIPTOR) != 0;
    if (u16(bytes_, at + 8) != member->method ||
        (!sizes_after &&
         (u32(bytes_, at + 14) != member->crc || u32(bytes_, at + 18) != member->compressed_size ||
          u32(bytes_, at + 22) != member->size)) ||
        bytes_.size() - at - LOCAL_SIZE < name_length + extra_length ||
        bytes_.substr(at + LOCAL_SIZE, name_length) != name) {
        error = damaged;
        return false;
    }
    const std::size_t data_at = at + LOCAL_SIZE + name_length + extra_length;
    if (bytes_.size() - data_at < member->compressed_size) {
        error = damaged;
        return false;
    }
    const std::string_view data = bytes_.substr(data_at, member->compressed_size);
    if (member->method == METHOD_STORED) {
        if (member->compressed_size != member->size) {
            error = damaged;
            return false;
        }
        out.assign(data);
    } else if (!inflate_member(data, member->size, out)) {
        out.clear();
        error = damaged;
        return false;
    }
    if (crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size())) !=
        member->crc) {
        out.clear();
        error = damaged;
        return false;
    }
    return true;
}

}  // namespace gironario
