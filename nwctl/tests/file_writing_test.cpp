// A report file is written whole or not at all, on Linux and on Windows
// alike: the name keeps what it had until the new text is complete, and
// nothing is left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#endif

#include "commands/file_reading.h"
#include "io/file_writing.h"

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
    EXPECT_NE(error.find("it is a folder, not a regular file"), std::string::npos) << error;
    EXPECT_FALSE(file.Open((folder / "no-such-folder" / "r.html").string(), error));
    EXPECT_EQ(error.rfind("cannot write ", 0), 0u) << error;
    fs::remove_all(folder);
}

// Only a regular file is replaced: a device, a pipe, a link or anything
// else under the name is not ours to swap for a file, and is refused at
// Open, before anything is done, with what it is.
TEST(ReplacingFile, WhatIsNotARegularFileIsRefusedAndLeftAsItWas)
{
    const fs::path folder = fs::path(testing::TempDir()) / "replacing-file-kinds";
    fs::remove_all(folder);
    ASSERT_TRUE(fs::create_directories(folder));
    struct Case {
        std::string path;
        std::string says;
    };
    std::vector<Case> cases = {
        {(folder).string(), "it is a folder, not a regular file"},
    };
    const fs::path readOnly = folder / "read-only.html";
    {
        ReplacingFile file;
        std::string error;
        ASSERT_TRUE(file.Open(readOnly.string(), error) && file.Commit("kept", error)) << error;
    }
    fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    cases.push_back({readOnly.string(), "it is read-only"});
#ifdef _WIN32
    // Device names are devices in any folder.
    for (const std::string& device : std::vector<std::string>{"NUL", "CON", "COM1", (folder / "NUL").string()})
        cases.push_back({device, "it is a device, not a regular file"});
#else
    cases.push_back({"/dev/null", "it is a device, not a regular file"});
    const fs::path fifo = folder / "pipe.html";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    cases.push_back({fifo.string(), "it is a named pipe, not a regular file"});
    const fs::path link = folder / "link.html";
    fs::create_symlink("read-only.html", link);
    cases.push_back({link.string(), "it is a symbolic link to read-only.html, not a regular file"});
    fs::create_symlink("nowhere.html", folder / "dangling.html");
    cases.push_back({(folder / "dangling.html").string(), "it is a symbolic link to nowhere.html, not a regular file"});
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (folder / "socket.html").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    cases.push_back({socketPath, "it is a socket, not a regular file"});
#endif
    const std::vector<std::string> before = Names(folder);
    for (const Case& c : cases) {
        ReplacingFile file;
        std::string error;
        EXPECT_FALSE(file.Open(c.path, error)) << c.path;
        EXPECT_EQ(error, "cannot write " + c.path + ": " + c.says);
    }
    EXPECT_EQ(Names(folder), before) << "nothing made beside them";
    EXPECT_EQ(Read(readOnly), "kept");
#ifndef _WIN32
    close(listening);
#endif
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(folder);
}

}  // namespace
