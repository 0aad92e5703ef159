#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calendar/byte_stream.hpp"
#include "driver/folder.hpp"

namespace gironario {

// A folder held in memory, with the troubles a real one can have: names that are directories,
// names that lead to another file, a full disk, and files that break while being read.
class MemoryFolder final : public Folder {
  public:
    // The files and their contents, under their own names.
    std::map<std::string, std::string> files;
    // Names that are directories: they open, and fail at the first read, as on Linux; they
    // cannot be created.
    std::set<std::string> directories;
    // Names that lead to another file, like links: the name, then the file's own name.
    std::map<std::string, std::string> links;
    // Files on a full disk: they take this many bytes, then fail with ENOSPC.
    std::map<std::string, std::size_t> room;
    // Files whose reading fails with EIO after this many bytes.
    std::map<std::string, std::size_t> breaks_after;
    // Every name created, in order.
    std::vector<std::string> created;

    std::unique_ptr<Input> open(const std::string& name, int& error) override {
        const std::string& file = target(name);
        if (directories.contains(file)) {
            return std::make_unique<StringInput>("", 0, EISDIR);
        }
        const auto found = files.find(file);
        if (found == files.end()) {
            error = ENOENT;
            return nullptr;
        }
        const auto breaks = breaks_after.find(file);
        return std::make_unique<StringInput>(
            found->second, breaks == breaks_after.end() ? StringInput::npos : breaks->second, EIO);
    }

    std::unique_ptr<Output> create(const std::string& name, int& error) override {
        const std::string& file = target(name);
        if (directories.contains(file)) {
            error = EISDIR;
            return nullptr;
        }
        created.push_back(name);
        std::string& text = files[file];
        text.clear();
        const auto limit = room.find(file);
        return std::make_unique<StringOutput>(
            text, limit == room.end() ? StringInput::npos : limit->second);
    }

    bool same_file(const std::string& a, const std::string& b) override {
        const std::string& file = target(a);
        return (files.contains(file) || directories.contains(file)) && file == target(b);
    }

  private:
    const std::string& target(const std::string& name) const {
        const auto link = links.find(name);
        return link == links.end() ? name : link->second;
    }
};

}  // namespace gironario
