#pragma once

// A folder held in memory, with the troubles a real one can have: names that are directories,
// names that lead to another file, a full disk, and files that break while being read. A file
// written is put in place only when its output is committed, as on disk. It counts
// every trouble the program meets, so that a run can be told apart from one that went well.

#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/folder.hpp"
#include "io/byte_stream.hpp"

namespace gironario {

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
    // The files being written and not yet put in place by a commit: empty once every output is
    // committed or dropped, as a folder on disk is left with no temporary file in it.
    std::multiset<std::string> pending;
    // How many troubles the program met: files missing or not created, failed reads and writes.
    int troubles = 0;

    // The file a name leads to.
    const std::string& resolve(const std::string& name) const {
        const auto link = links.find(name);
        return link == links.end() ? name : link->second;
    }

    // What standard input holds, for a calendar named "-".
    std::string standard_input;

    std::unique_ptr<Input> open_standard_input(int& /*error*/) override {
        return std::make_unique<StringInput>(standard_input);
    }

    std::unique_ptr<Input> open(const std::string& name, int& error) override {
        const std::string& file = resolve(name);
        if (directories.contains(file)) {
            return std::make_unique<TrackedInput>("", 0, EISDIR, troubles);
        }
        const auto found = files.find(file);
        if (found == files.end()) {
            ++troubles;
            error = ENOENT;
            return nullptr;
        }
        const auto breaks = breaks_after.find(file);
        return std::make_unique<TrackedInput>(
            found->second, breaks == breaks_after.end() ? StringInput::npos : breaks->second, EIO,
            troubles);
    }

    // Memory has no line ends of its own to read.
    std::unique_ptr<Input> open_exact(const std::string& name, int& error) override {
        return open(name, error);
    }

    std::unique_ptr<Output> create(const std::string& name, int& error) override {
        const std::string& file = resolve(name);
        if (directories.contains(file)) {
            ++troubles;
            error = EISDIR;
            return nullptr;
        }
        created.push_back(name);
        const auto limit = room.find(file);
        return std::make_unique<TrackedOutput>(
            *this, file, limit == room.end() ? StringInput::npos : limit->second);
    }

    // Memory has no line ends of its own to write.
    std::unique_ptr<Output> create_exact(const std::string& name, int& error) override {
        return create(name, error);
    }

    bool same_file(const std::string& a, const std::string& b) override {
        const std::string& file = resolve(a);
        return (files.contains(file) || directories.contains(file)) && file == resolve(b);
    }

    bool is_regular_file(const std::string& name) override { return files.contains(resolve(name)); }

  private:
    class TrackedInput final : public Input {
      public:
        TrackedInput(std::string text, std::size_t fail_after, int fail_errno, int& troubles)
            : input_(std::move(text), fail_after, fail_errno), troubles_(troubles) {}

        std::size_t read(char* buffer, std::size_t size) override {
            const bool failed_before = input_.error() != 0;
            const std::size_t count = input_.read(buffer, size);
            if (!failed_before && input_.error() != 0) {
                ++troubles_;
            }
            return count;
        }
        int error() const override { return input_.error(); }

      private:
        StringInput input_;
        int& troubles_;
    };

    // Gathers what is written, and puts it in place of the file only at a commit that follows a
    // whole, successful output.
    class TrackedOutput final : public Output {
      public:
        TrackedOutput(MemoryFolder& folder, std::string file, std::size_t capacity)
            : folder_(folder), file_(std::move(file)), output_(text_, capacity) {
            folder_.pending.insert(file_);
        }
        ~TrackedOutput() override { settle(); }

        bool write(const char* data, std::size_t size) override {
            const bool failed_before = output_.error() != 0;
            const bool written = output_.write(data, size);
            if (!failed_before && !written) {
                ++folder_.troubles;
            }
            return written;
        }
        bool close() override { return output_.close(); }
        bool commit() override {
            if (output_.close() && !settled_) {
                folder_.files[file_] = std::move(text_);
                settle();
            }
            return output_.close();
        }
        int error() const override { return output_.error(); }

      private:
        void settle() {
            if (!std::exchange(settled_, true)) {
                folder_.pending.erase(folder_.pending.find(file_));
            }
        }

        MemoryFolder& folder_;
        std::string file_;
        std::string text_;
        StringOutput output_;
        bool settled_ = false;
    };
};

}  // namespace gironario
