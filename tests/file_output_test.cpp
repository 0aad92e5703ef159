#include "driver/file_output.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>

namespace gironario {
namespace {

namespace fs = std::filesystem;

// What a folder holds, by name in order: "name=content" for a file, "name->target" for a link,
// "name/" for a directory.
std::string listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        std::ifstream file(entry.path(), std::ios::binary);
        name += entry.is_symlink() ? "->" + fs::read_symlink(entry.path()).string()
                : entry.is_directory()
                    ? std::string("/")
                    : "=" + std::string(std::istreambuf_iterator<char>(file), {});
        names.insert(name);
    }
    std::string text;
    for (const std::string& name : names) {
        text += name + " ";
    }
    return text;
}

// The target is replaced at commit() only, through links, and no temporary file stays behind.
TEST(FileOutput, ReplacedAtCommit) {
    const struct {
        std::string_view setup;  // "file", "link", "directory" or "" for a new name
        bool commit;
        int error;
        std::string_view after;
    } rows[] = {
        {"", true, 0, "out.txt=new "},
        {"", false, 0, ""},
        {"file", true, 0, "out.txt=new "},
        {"file", false, 0, "out.txt=old "},
        {"link", true, 0, "old.txt=new out.txt->old.txt "},
        {"directory", true, EISDIR, "out.txt/ "},
    };
    for (const auto& row : rows) {
        std::string pattern = (fs::temp_directory_path() / "gironario-output-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        const fs::path folder = pattern;
        if (row.setup == "file" || row.setup == "link") {
            std::ofstream(folder / (row.setup == "file" ? "out.txt" : "old.txt")) << "old";
        }
        if (row.setup == "link") {
            fs::create_symlink("old.txt", folder / "out.txt");
        } else if (row.setup == "directory") {
            fs::create_directory(folder / "out.txt");
        }
        int error = 0;
        {
            std::unique_ptr<Output> output = create_file(folder / "out.txt", error);
            EXPECT_EQ(output == nullptr, row.error != 0) << row.setup;
            if (output != nullptr) {
                EXPECT_TRUE(output->write("new", 3));
                EXPECT_EQ(!row.commit || output->commit(), true);
            }
        }
        EXPECT_EQ(error, row.error) << row.setup;
        EXPECT_EQ(listing(folder), row.after) << row.setup << " " << row.commit;
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace gironario
