#pragma once

// The container that Office 97-2003 keeps its documents in: a little file system of sectors
// inside one file, with a table that chains the sectors of each stream, a directory of named
// streams, and small streams packed into 64-byte mini sectors of their own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gironario {

// A compound file (OLE2, the container of .xls and .doc files) read from memory.
class CompoundFile {
  public:
    // Reads the header, the FAT, the mini FAT and the directory of `bytes`, which must outlast
    // it; false with `error` when it is no compound file or a damaged one.
    bool open(std::string_view bytes, std::string& error);
    // Whether the root storage holds a stream of that name (compared case-insensitively, as
    // the format does for ASCII names).
    bool has_stream(std::string_view name) const;
    // The stream whole; false with `error` when missing or damaged.
    bool read_stream(std::string_view name, std::string& out, std::string& error) const;

    // Whether `bytes` starts with the signature of a compound file.
    static bool has_signature(std::string_view bytes);

  private:
    struct Entry {
        std::string name;  // UTF-8
        std::uint64_t size = 0;
        std::uint32_t start = 0;
    };

    bool read_fat(std::string& error);
    // The directory, the mini stream's place and the mini FAT.
    bool read_directory(std::string& error);
    std::uint32_t fat_next(std::uint32_t sector) const;
    std::uint32_t mini_sector_next(std::uint32_t sector) const;
    // The sectors of the chain from `start`, as many as hold `size` bytes or up to its end.
    bool sector_list(std::uint32_t start, std::uint64_t size, std::vector<std::uint32_t>& out,
                     std::string& error) const;
    bool read_chain(std::uint32_t start, std::uint64_t size, std::string& out,
                    std::string& error) const;
    // Short where the chain is: the caller compares with the size it wanted.
    void read_mini_chain(std::uint32_t start, std::uint64_t size, std::string& out) const;
    const Entry* find(std::string_view name) const;

    std::string_view bytes_;
    std::size_t sector_size_ = 512;
    std::size_t sectors_ = 0;  // whole or partial sectors after the header
    std::uint64_t mini_cutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> mini_fat_;
    std::vector<std::uint32_t> mini_stream_sectors_;  // the root entry's chain
    std::uint64_t mini_stream_size_ = 0;
    std::vector<Entry> streams_;  // the root storage's own streams
};

}  // namespace gironario
