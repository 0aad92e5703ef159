#include "io/compound_file.hpp"

#include <algorithm>

#include "io/text.hpp"

namespace gironario {

namespace {

constexpr std::string_view signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::size_t header_size = 512;
constexpr std::size_t header_fat_sectors = 109;
constexpr std::size_t entry_size = 128;
constexpr std::size_t mini_sector_size = 64;
constexpr std::uint32_t end_of_chain = 0xFFFFFFFEu;
constexpr std::uint32_t no_entry = 0xFFFFFFFFu;
constexpr std::uint32_t last_sector_number = 0xFFFFFFF9u;  // above it: the table's markers
constexpr std::uint64_t whole_chain = ~std::uint64_t{0};
constexpr std::uint8_t stream_type = 2;
constexpr std::uint8_t root_type = 5;

std::uint32_t u16_at(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t u32_at(std::string_view bytes, std::size_t at) {
    return u16_at(bytes, at) | u16_at(bytes, at + 2) << 16;
}

std::string damaged(std::string_view detail) {
    std::string text = "il file \xE8 un documento di Office danneggiato: ";
    text += detail;
    return text;
}

const std::string_view past_end = "un settore \xE8 oltre la fine del file";
const std::string_view looping = "una catena di settori gira in tondo";

// A directory name: UTF-16LE, at most 31 units before its terminating zero. Only the ASCII
// names of the streams that the program looks for matter, so anything else just has to stay
// distinct from them.
std::string entry_name(std::string_view entry) {
    const std::size_t length = std::min<std::size_t>(u16_at(entry, 0x40), 64);
    std::string name;
    for (std::size_t at = 0; at + 1 < length && at < 62; at += 2) {
        const std::uint32_t unit = u16_at(entry, at);
        if (unit == 0) {
            break;
        }
        name += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return name;
}

}  // namespace

bool CompoundFile::has_signature(std::string_view bytes) {
    return bytes.substr(0, signature.size()) == signature;
}

std::uint32_t CompoundFile::fat_next(std::uint32_t sector) const {
    return sector < fat_.size() ? fat_[sector] : no_entry;
}

bool CompoundFile::open(std::string_view bytes, std::string& error) {
    *this = CompoundFile{};
    bytes_ = bytes;
    if (!has_signature(bytes)) {
        error = "il file non \xE8 un documento di Office 97-2003: manca l'intestazione OLE2";
        return false;
    }
    if (bytes.size() < header_size) {
        error = damaged("l'intestazione \xE8 incompleta");
        return false;
    }
    const std::uint32_t shift = u16_at(bytes, 0x1E);
    if (u16_at(bytes, 0x1C) != 0xFFFE || (shift != 9 && shift != 12) || u16_at(bytes, 0x20) != 6) {
        error = damaged("l'intestazione non \xE8 valida");
        return false;
    }
    sector_size_ = shift == 9 ? 512 : 4096;
    // Version 4 pads its header to a whole 4096-byte sector.
    if (bytes.size() < sector_size_) {
        error = damaged("l'intestazione \xE8 incompleta");
        return false;
    }
    // Some writers cut the last sector short: it still counts, for the bytes it has.
    sectors_ = (bytes.size() - 1) / sector_size_;
    mini_cutoff_ = u32_at(bytes, 0x38);
    return read_fat(error) && read_directory(error);
}

bool CompoundFile::read_fat(std::string& error) {
    const std::string_view bytes = bytes_;
    // Where the FAT's own sectors are: the first 109 in the header, the rest in a chain of DIFAT
    // sectors, each ending with the number of the next.
    const std::uint32_t fat_count = u32_at(bytes, 0x2C);
    if (fat_count > sectors_) {
        error = damaged("la tabella dei settori \xE8 pi\xF9 grande del file");
        return false;
    }
    std::vector<std::uint32_t> fat_sectors;
    fat_sectors.reserve(fat_count);
    for (std::size_t i = 0; i < header_fat_sectors && fat_sectors.size() < fat_count; ++i) {
        fat_sectors.push_back(u32_at(bytes, 0x4C + 4 * i));
    }
    // Each DIFAT sector adds at least 127 of them, so even a chain that loops ends.
    std::uint32_t difat = u32_at(bytes, 0x44);
    while (fat_sectors.size() < fat_count) {
        if (difat >= sectors_ || (difat + std::size_t{2}) * sector_size_ > bytes.size()) {
            error = damaged(past_end);
            return false;
        }
        const std::size_t at = (difat + std::size_t{1}) * sector_size_;
        for (std::size_t i = 0; i + 4 < sector_size_ && fat_sectors.size() < fat_count; i += 4) {
            fat_sectors.push_back(u32_at(bytes, at + i));
        }
        difat = u32_at(bytes, at + sector_size_ - 4);
    }
    fat_.reserve(fat_sectors.size() * (sector_size_ / 4));
    for (const std::uint32_t sector : fat_sectors) {
        if (sector >= sectors_ || (sector + std::size_t{2}) * sector_size_ > bytes.size()) {
            error = damaged(past_end);
            return false;
        }
        const std::size_t at = (sector + std::size_t{1}) * sector_size_;
        for (std::size_t i = 0; i < sector_size_; i += 4) {
            fat_.push_back(u32_at(bytes, at + i));
        }
    }
    return true;
}

bool CompoundFile::read_directory(std::string& error) {
    std::string directory;
    if (!read_chain(u32_at(bytes_, 0x30), whole_chain, directory, error)) {
        return false;
    }
    const std::size_t entries = directory.size() / entry_size;
    const auto entry_at = [&](std::size_t id) {
        return std::string_view(directory).substr(id * entry_size, entry_size);
    };
    // Version 3 leaves the high half of a stream's size undefined: old writers put rubbish there.
    const auto size_of = [&](std::string_view entry) {
        const std::uint64_t low = u32_at(entry, 0x78);
        return sector_size_ == 512 ? low : low | std::uint64_t{u32_at(entry, 0x7C)} << 32;
    };
    if (entries == 0 || static_cast<std::uint8_t>(entry_at(0)[0x42]) != root_type) {
        error = damaged("l'elenco dei flussi non si legge");
        return false;
    }

    // The mini stream lives in the root entry's chain; the mini FAT chains its 64-byte sectors.
    const std::string_view root = entry_at(0);
    if (!sector_list(u32_at(root, 0x74), size_of(root), mini_stream_sectors_, error)) {
        return false;
    }
    mini_stream_size_ =
        std::min<std::uint64_t>(size_of(root), mini_stream_sectors_.size() * sector_size_);
    std::string mini_fat;
    if (!read_chain(u32_at(bytes_, 0x3C), whole_chain, mini_fat, error)) {
        return false;
    }
    mini_fat_.reserve(mini_fat.size() / 4);
    for (std::size_t at = 0; at + 4 <= mini_fat.size(); at += 4) {
        mini_fat_.push_back(u32_at(mini_fat, at));
    }

    // The directory is a red-black tree of siblings under the root's child; read as a plain
    // tree, each entry once, since a damaged file may point back up it.
    std::vector<bool> seen(entries);
    std::vector<std::uint32_t> pending{u32_at(root, 0x4C)};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == no_entry) {
            continue;
        }
        if (id >= entries) {
            error = damaged("l'elenco dei flussi rimanda a una voce che non c'\xE8");
            return false;
        }
        if (seen[id]) {
            continue;
        }
        seen[id] = true;
        const std::string_view entry = entry_at(id);
        pending.push_back(u32_at(entry, 0x44));
        pending.push_back(u32_at(entry, 0x48));
        if (static_cast<std::uint8_t>(entry[0x42]) == stream_type) {
            streams_.push_back(Entry{entry_name(entry), size_of(entry), u32_at(entry, 0x74)});
        }
    }
    return true;
}

bool CompoundFile::sector_list(std::uint32_t start, std::uint64_t size,
                               std::vector<std::uint32_t>& out, std::string& error) const {
    out.clear();
    std::vector<bool> seen(sectors_);
    // A chain may also end on a free sector or another marker: then it holds too little, which
    // the reader of a stream finds from its size.
    for (std::uint32_t sector = start;
         sector <= last_sector_number && out.size() * std::uint64_t{sector_size_} < size;
         sector = fat_next(sector)) {
        if (sector >= sectors_) {
            error = damaged(past_end);
            return false;
        }
        if (seen[sector]) {
            error = damaged(looping);
            return false;
        }
        seen[sector] = true;
        out.push_back(sector);
    }
    return true;
}

bool CompoundFile::read_chain(std::uint32_t start, std::uint64_t size, std::string& out,
                              std::string& error) const {
    std::vector<std::uint32_t> sectors;
    if (!sector_list(start, size, sectors, error)) {
        return false;
    }
    out.clear();
    for (const std::uint32_t sector : sectors) {
        const std::size_t at = (sector + std::size_t{1}) * sector_size_;
        out.append(bytes_.substr(at, std::min<std::uint64_t>(sector_size_, size - out.size())));
    }
    return true;
}

bool CompoundFile::read_stream(std::string_view name, std::string& out, std::string& error) const {
    out.clear();
    const Entry* entry = find(name);
    if (entry == nullptr) {
        error = "il file non contiene il flusso \"";
        error += name;
        error += '"';
        return false;
    }
    if (entry->size > bytes_.size()) {
        error = damaged("un flusso \xE8 pi\xF9 lungo del file");
        return false;
    }
    if (entry->size < mini_cutoff_) {
        read_mini_chain(entry->start, entry->size, out);
    } else if (!read_chain(entry->start, entry->size, out, error)) {
        return false;
    }
    if (out.size() != entry->size) {
        error = damaged("un flusso \xE8 pi\xF9 corto di quanto dichiara");
        out.clear();
        return false;
    }
    return true;
}

void CompoundFile::read_mini_chain(std::uint32_t start, std::uint64_t size,
                                   std::string& out) const {
    std::vector<bool> seen(mini_fat_.size());
    for (std::uint32_t sector = start; out.size() < size; sector = mini_sector_next(sector)) {
        const std::uint64_t from = std::uint64_t{sector} * mini_sector_size;
        // A chain that ends early, leaves the mini stream or loops just comes out short.
        if (sector >= mini_fat_.size() || from >= mini_stream_size_ || seen[sector]) {
            return;
        }
        seen[sector] = true;
        const std::uint32_t big = mini_stream_sectors_[from / sector_size_];
        const std::size_t at = (big + std::size_t{1}) * sector_size_ + from % sector_size_;
        const std::uint64_t wanted = std::min<std::uint64_t>(
            {mini_sector_size, size - out.size(), mini_stream_size_ - from});
        const std::string_view piece = bytes_.substr(std::min(at, bytes_.size()), wanted);
        out.append(piece);
        if (piece.size() < wanted) {
            return;
        }
    }
}

std::uint32_t CompoundFile::mini_sector_next(std::uint32_t sector) const {
    return sector < mini_fat_.size() ? mini_fat_[sector] : end_of_chain;
}

bool CompoundFile::has_stream(std::string_view name) const {
    return find(name) != nullptr;
}

const CompoundFile::Entry* CompoundFile::find(std::string_view name) const {
    for (const Entry& entry : streams_) {
        if (same_ignoring_case(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace gironario
