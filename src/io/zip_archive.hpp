#pragma once

// A zip archive read from bytes in memory, as office files (.xlsx, .docx, .ods, .odt) are: the
// central directory at open(), then each member on demand, stored or deflated, checked against
// its CRC-32 and bounded in size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gironario {

// Largest size a member may inflate to: a zip bomb stops there.
inline constexpr std::size_t ZIP_MEMBER_LIMIT = std::size_t{256} << 20;

// An archive's directory, read once; its members are inflated only when asked for.
class ZipArchive {
  public:
    // Reads the central directory of the archive in `bytes`, which must outlast the archive;
    // false, with `error` saying why, when it is no zip archive or a damaged one.
    bool open(std::string_view bytes, std::string& error);

    // The members' names, in the central directory's order.
    const std::vector<std::string>& names() const;

    // Whether a member is named exactly `name`.
    bool has(std::string_view name) const;

    // Member `name`, stored or deflated, whole into `out`; false with `error` when it is
    // missing, damaged (its CRC-32 included), encrypted, of another method, or larger than
    // `limit` once inflated.
    bool read(std::string_view name, std::string& out, std::string& error,
              std::size_t limit = ZIP_MEMBER_LIMIT) const;

  private:
    struct Member {
        std::uint16_t flags = 0;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint32_t compressed_size = 0;
        std::uint32_t size = 0;
        std::uint32_t local_offset = 0;
    };

    const Member* find(std::string_view name) const;

    std::string_view bytes_;
    std::vector<std::string> names_;
    std::vector<Member> members_;  // beside names_, in the same order
};

}  // namespace gironario
