#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "io/byte_stream.hpp"

namespace gironario {

// The folder whose files the program reads and writes, all by fixed names.
class Folder {
  public:
    virtual ~Folder() = default;

    // Opens a file for reading; null with the system's error number in `error` when it can't.
    virtual std::unique_ptr<Input> open(const std::string& name, int& error) = 0;

    // Standard input, read as a calendar file is (the user named it "-"); once in a run.
    virtual std::unique_ptr<Input> open_standard_input(int& error) = 0;

    // The same for a file whose line ends are part of its format (an iCalendar file written
    // before): its bytes come as they are, on every system.
    virtual std::unique_ptr<Input> open_exact(const std::string& name, int& error) = 0;

    // Creates a file for writing; null with `error` set when it can't. A file that exists is left
    // as it was until the output's commit() puts the new one in its place. Its line feeds are
    // written as the system's text files end their lines.
    virtual std::unique_ptr<Output> create(const std::string& name, int& error) = 0;

    // The same for a file whose line ends are part of its format (CR LF in an iCalendar file):
    // its bytes are written exactly as they are given, on every system.
    virtual std::unique_ptr<Output> create_exact(const std::string& name, int& error) = 0;

    // Whether both names exist and lead to the same file, through links of either kind.
    virtual bool same_file(const std::string& a, const std::string& b) = 0;

    // Whether `name` is a regular file, through links: a device or a pipe has no content of
    // before to compare a result with.
    virtual bool is_regular_file(const std::string& name) = 0;
};

// Files on disk, relative to `directory` (the working directory when it is empty).
class DiskFolder final : public Folder {
  public:
    explicit DiskFolder(std::filesystem::path directory = {});

    std::unique_ptr<Input> open(const std::string& name, int& error) override;
    std::unique_ptr<Input> open_exact(const std::string& name, int& error) override;
    std::unique_ptr<Input> open_standard_input(int& error) override;
    std::unique_ptr<Output> create(const std::string& name, int& error) override;
    std::unique_ptr<Output> create_exact(const std::string& name, int& error) override;
    bool same_file(const std::string& a, const std::string& b) override;
    bool is_regular_file(const std::string& name) override;

  private:
    std::filesystem::path directory_;
};

}  // namespace gironario
