#pragma once

// A folder held in memory for the dialogue fuzz target, with the troubles of a real disk on
// demand: links between names, missing files, directories, a full disk and read errors. It counts
// every trouble the program meets, so that a run can be told apart from one that went well.

#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "calendar/byte_stream.hpp"
#include "driver/folder.hpp"

namespace gironario::fuzz {

class MemoryFolder final : public Folder {
  public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> links;  // a name that leads to another file
    std::set<std::string> directories;
    std::map<std::string, std::size_t> full_after;    // writes past this size fail with ENOSPC
    std::map<std::string, std::size_t> broken_after;  // reads past this offset fail with EIO
    int troubles = 0;

    std::string resolve(const std::string& name) const {
        const auto link = links.find(name);
        return link == links.end() ? name : link->second;
    }

    std::unique_ptr<Input> open(const std::string& name, int& error) override {
        const std::string file = resolve(name);
        if (directories.count(file) != 0) {
            // Like a directory opened with fopen: it opens, and the first read fails.
            return std::make_unique<TrackedInput>(std::string(), 0, EISDIR, troubles);
        }
        const auto found = files.find(file);
        if (found == files.end()) {
            ++troubles;
            error = ENOENT;
            return nullptr;
        }
        const auto broken = broken_after.find(file);
        return std::make_unique<TrackedInput>(
            found->second, broken == broken_after.end() ? StringInput::npos : broken->second, EIO,
            troubles);
    }

    std::unique_ptr<Output> create(const std::string& name, int& error) override {
        const std::string file = resolve(name);
        if (directories.count(file) != 0) {
            ++troubles;
            error = EISDIR;
            return nullptr;
        }
        std::string& text = files[file];
        text.clear();
        const auto full = full_after.find(file);
        return std::make_unique<TrackedOutput>(
            text, full == full_after.end() ? StringInput::npos : full->second, troubles);
    }

    bool same_file(const std::string& a, const std::string& b) override {
        const std::string file = resolve(a);
        return file == resolve(b) && (files.count(file) != 0 || directories.count(file) != 0);
    }

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

    class TrackedOutput final : public Output {
      public:
        TrackedOutput(std::string& text, std::size_t capacity, int& troubles)
            : output_(text, capacity), troubles_(troubles) {}

        bool write(const char* data, std::size_t size) override {
            const bool failed_before = output_.error() != 0;
            const bool written = output_.write(data, size);
            if (!failed_before && !written) {
                ++troubles_;
            }
            return written;
        }
        bool close() override { return output_.close(); }
        int error() const override { return output_.error(); }

      private:
        StringOutput output_;
        int& troubles_;
    };
};

}  // namespace gironario::fuzz
