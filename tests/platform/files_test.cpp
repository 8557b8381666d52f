#include "tests/support/error_text.h"
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "platform/error.h"
#include "scratch_dir.h"

namespace plk {
namespace {

using Bytes = std::vector<std::uint8_t>;
using plk::testing::ScratchDir;

using plk::testing::error_text;

std::string text_of(const std::string& path) {
    const Bytes b = read_file_bytes(path);
    return std::string(b.begin(), b.end());
}

int entries_in(const std::string& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

mode_t mode_of(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(Files, FileExists) {
    ScratchDir dir;
    write_file_atomic(dir.file("a.txt"), std::string("x"));
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {dir.file("a.txt"), true},
        {dir.file("b.txt"), false},
        {dir.path(), false},  // a directory is not a file
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(file_exists(c.path), c.exists) << c.path;
}

TEST(Files, ReadFileBytesKeepsEveryByte) {
    ScratchDir dir;
    const Bytes content{0, 1, 0xff, '\n', '\r', 0, 'x'};
    write_file_atomic(dir.file("bin"), content);
    EXPECT_EQ(read_file_bytes(dir.file("bin")), content);
    write_file_atomic(dir.file("empty"), Bytes{});
    EXPECT_TRUE(read_file_bytes(dir.file("empty")).empty());
}

TEST(Files, ReadFileBytesRefusesWhatIsNotAReadableFile) {
    ScratchDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The named pipe has no writer: reading it must fail, not wait forever.
    for (const std::string& path : {dir.file("absent"), dir.path(), fifo, std::string("relative/absent.pk1")})
        EXPECT_EQ(error_text([&] { read_file_bytes(path); }), "Cannot open file " + path);
}

TEST(Files, WriteAtomicCreatesAndReplaces) {
    ScratchDir dir;
    const std::string path = dir.file("design.pk1");
    const mode_t old_mask = ::umask(022);
    write_file_atomic(path, std::string("first"));
    ::umask(old_mask);
    EXPECT_EQ(text_of(path), "first");
    EXPECT_EQ(mode_of(path), 0644u);

    // Replacing keeps the file's own permissions.
    ::chmod(path.c_str(), 0600);
    write_file_atomic(path, std::string("second, longer"));
    EXPECT_EQ(text_of(path), "second, longer");
    EXPECT_EQ(mode_of(path), 0600u);
    write_file_atomic(path, std::string(""));
    EXPECT_EQ(text_of(path), "");
    EXPECT_EQ(entries_in(dir.path()), 1) << "a temporary file was left behind";
}

TEST(Files, WriteAtomicThroughSymbolicLinkKeepsTheLink) {
    ScratchDir dir;
    const std::string real = dir.file("real.pk1");
    const std::string link = dir.file("link.pk1");
    write_file_atomic(real, std::string("old"));
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    write_file_atomic(link, std::string("new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(text_of(real), "new");
}

TEST(Files, WriteAtomicFailureNamesThePathAndKeepsTheOldFile) {
    ScratchDir dir;
    const std::string in_missing_dir = dir.file("nope/out.pk1");
    EXPECT_EQ(error_text([&] { write_file_atomic(in_missing_dir, std::string("x")); }),
              "Cannot create file " + in_missing_dir);

    // A directory in the way is left alone.
    const std::string sub = dir.file("sub");
    std::filesystem::create_directory(sub);
    std::filesystem::create_directory(sub + "/inside");
    EXPECT_EQ(error_text([&] { write_file_atomic(sub, std::string("x")); }), "Cannot create file " + sub);
    EXPECT_TRUE(std::filesystem::is_directory(sub + "/inside"));

    EXPECT_EQ(error_text([&] { write_file_atomic("", std::string("x")); }), "Cannot create file ");

    if (::geteuid() != 0) {  // permissions do not stop root
        const std::string locked = dir.file("locked");
        std::filesystem::create_directory(locked);
        write_file_atomic(locked + "/f", std::string("old"));
        ::chmod(locked.c_str(), 0500);
        EXPECT_EQ(error_text([&] { write_file_atomic(locked + "/f", std::string("new")); }),
                  "Cannot create file " + locked + "/f");
        ::chmod(locked.c_str(), 0700);
        EXPECT_EQ(text_of(locked + "/f"), "old");
    }
    EXPECT_EQ(entries_in(dir.path()), 1 + (::geteuid() != 0 ? 1 : 0));
}

TEST(Files, WriteAtomicFailingMidWriteKeepsTheOldFile) {
    ScratchDir dir;
    const std::string path = dir.file("design.pk1");
    write_file_atomic(path, std::string("old design"));
    // In a child process, cap the file size so the write itself fails half-way.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            write_file_atomic(path, std::string(1000, 'n'));
        } catch (const AppError& e) {
            ::_exit(std::string(e.what()) == "Cannot create file " + path ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write did not fail, 2: wrong message";
    EXPECT_EQ(text_of(path), "old design");
    EXPECT_EQ(entries_in(dir.path()), 1) << "a temporary file was left behind";
}

TEST(Files, CopyFileOver) {
    ScratchDir dir;
    const std::string src = dir.file("defcube5.pic");
    const std::string dst = dir.file("newcube5.bmp");
    write_file_atomic(src, std::string("texture"));
    write_file_atomic(dst, std::string("edited"));
    EXPECT_TRUE(copy_file_over(src, dst));
    EXPECT_EQ(text_of(dst), "texture");

    // A missing source copies nothing and reports it.
    write_file_atomic(dst, std::string("edited"));
    EXPECT_FALSE(copy_file_over(dir.file("absent"), dst));
    EXPECT_EQ(text_of(dst), "edited");
    EXPECT_FALSE(copy_file_over(src, dir.file("no/dir/x")));
}

TEST(Files, ProgramDirectoryHoldsTheRunningProgram) {
    const std::string dir = program_directory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(dir.front(), '/');
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_TRUE(file_exists(dir + file_name_part(self)));
}

TEST(Files, FileNamePart) {
    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {
        {"/a/b/c.pk1", "c.pk1"},   {"c:\\designs\\room.pk1", "room.pk1"},
        {"plain.pk1", "plain.pk1"}, {"mixed\\dir/x.pk1", "x.pk1"},
        {"dir/", ""},              {"", ""},
        {"/", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(file_name_part(c.path), c.name) << c.path;
}

}  // namespace
}  // namespace plk
