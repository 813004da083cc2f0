// A report file is written whole or not at all, on Linux and on Windows
// alike: the name keeps what it had until the new text is complete, and
// nothing is left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "file_reading.h"
#include "file_writing.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::string text, error;
    return ReadWholeFile(path.string(), text, error) ? text : "(" + error + ")";
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(ReplacingFile, TheNameKeepsItsTextUntilTheNewOneIsComplete)
{
    const fs::path folder = fs::path(testing::TempDir()) / "replacing-file-test";
    fs::remove_all(folder);
    ASSERT_TRUE(fs::create_directories(folder));
    const std::string path = (folder / "report.html").string();
    std::string error;
    {
        ReplacingFile file;
        ASSERT_TRUE(file.Open(path, error)) << error;
        EXPECT_FALSE(fs::exists(path)) << "nothing under the name before the commit";
        ASSERT_TRUE(file.Commit("first", error)) << error;
    }
    EXPECT_EQ(Read(path), "first");
    {
        ReplacingFile file;
        ASSERT_TRUE(file.Open(path, error)) << error;
        EXPECT_EQ(Read(path), "first");
        ASSERT_TRUE(file.Commit(std::string(300000, 'x'), error)) << error;
    }
    EXPECT_EQ(Read(path), std::string(300000, 'x'));
    {
        ReplacingFile abandoned;  // a run that ends before it has its text
        ASSERT_TRUE(abandoned.Open(path, error)) << error;
        EXPECT_EQ(Names(folder).size(), 2u) << "the new file beside the name";
    }
    EXPECT_EQ(Names(folder), std::vector<std::string>{"report.html"}) << "the abandoned file is gone";
    EXPECT_EQ(Read(path), std::string(300000, 'x'));

    // Refused at Open, before anything else is done.
    ReplacingFile file;
    EXPECT_FALSE(file.Open(folder.string(), error));
    EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
    EXPECT_FALSE(file.Open((folder / "no-such-folder" / "r.html").string(), error));
    EXPECT_EQ(error.rfind("cannot write ", 0), 0u) << error;
    fs::remove_all(folder);
}

}  // namespace
