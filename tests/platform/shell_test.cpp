#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "scratch_dir.h"

namespace plk {
namespace {

using plk::testing::ScratchDir;
using Words = std::vector<std::string>;

std::string text_of(const std::string& path) {
    const std::vector<std::uint8_t> b = read_file_bytes(path);
    return std::string(b.begin(), b.end());
}

void write_script(const std::string& path, const std::string& body) {
    write_file_atomic(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
}

// Sets PATH for one test and puts the old value back.
class PathOverride {
public:
    explicit PathOverride(const std::string& value) {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~PathOverride() {
        if (had_) ::setenv("PATH", old_.c_str(), 1);
        else ::unsetenv("PATH");
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST(Shell, SplitCommandLine) {
    struct Case {
        const char* line;
        Words words;
    };
    const Case cases[] = {
        {"imgview.exe fdraw.gif", {"imgview.exe", "fdraw.gif"}},
        {"  a \t b  ", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        {"\"C:\\Program Files\\view.exe\" \"my room.gif\"", {"C:\\Program Files\\view.exe", "my room.gif"}},
        {"a\"b c\"d", {"ab cd"}},
        {"x \"\" y", {"x", "", "y"}},
        {"\"unclosed quote runs on", {"unclosed quote runs on"}},
    };
    for (const Case& c : cases) EXPECT_EQ(split_command_line(c.line), c.words) << c.line;
}

TEST(Shell, RunAndWaitReturnsTheExitStatus) {
    struct Case {
        Words argv;
        int status;
    };
    const Case cases[] = {
        {{"/bin/true"}, 0},
        {{"/bin/false"}, 1},
        {{"sh", "-c", "exit 7"}, 7},
        {{"sh.exe", "-c", "exit 3"}, 3},  // found on PATH without its ".exe"
        {{"/bin/sh.EXE", "-c", "exit 4"}, 4},
        {{"sh", "-c", "kill -9 $$"}, 128 + 9},
        {{"no-such-program-plk"}, -1},
        {{"no-such-program-plk.exe"}, -1},
        {{"/nonexistent/dir/prog"}, -1},
        {{"/tmp"}, -1},  // a directory
        {{""}, -1},
        {{}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run_and_wait(c.argv), c.status) << (c.argv.empty() ? "(empty)" : c.argv[0]);
}

TEST(Shell, RunAndWaitPassesArgumentsUnchangedAndWaits) {
    ScratchDir dir;
    const std::string out = dir.file("args.txt");
    // The script sleeps before writing: the file is there only if we waited.
    const int status = run_and_wait({"/bin/sh", "-c", "sleep 0.2; printf '[%s]' \"$@\" > \"$0\"", out, "fdraw.gif",
                                     "two words", "", "*"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text_of(out), "[fdraw.gif][two words][][*]");
}

TEST(Shell, RunAndWaitRefusesAFileThatIsNotExecutable) {
    ScratchDir dir;
    write_file_atomic(dir.file("plain"), std::string("#!/bin/sh\nexit 0\n"));
    EXPECT_EQ(run_and_wait({dir.file("plain")}), -1);
    PathOverride path(dir.path());
    EXPECT_EQ(run_and_wait({"plain"}), -1);
}

TEST(Shell, RunAndWaitLooksBesideTheProgramBeforePath) {
    ScratchDir dir;
    const std::string name = "plk-probe-" + std::to_string(::getpid());
    const std::string beside = program_directory() + name;
    write_script(dir.file(name), "exit 2");
    write_script(beside, "exit 5");
    {
        PathOverride path(dir.path() + ":/usr/bin:/bin");
        EXPECT_EQ(run_and_wait({name}), 5);
        EXPECT_EQ(run_and_wait({name + ".exe"}), 5);
        std::filesystem::remove(beside);
        EXPECT_EQ(run_and_wait({name}), 2);
        EXPECT_EQ(run_and_wait({name + ".exe"}), 2);
    }
    std::filesystem::remove(beside);
}

bool wait_for_file(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (file_exists(path) && !read_file_bytes(path).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Shell, OpenWithDefaultHandlerStartsXdgOpenWithoutWaiting) {
    ScratchDir dir;
    const std::string out = dir.file("opened.txt");
    // A stand-in handler that records what it was given, then lingers.
    write_script(dir.file("xdg-open"), "printf '[%s]' \"$@\" > " + out + ".part; mv " + out + ".part " + out +
                                           "; sleep 1");
    PathOverride path(dir.path() + ":/usr/bin:/bin");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(open_with_default_handler("/help/index.html"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800)) << "it waited";
    ASSERT_TRUE(wait_for_file(out));
    EXPECT_EQ(text_of(out), "[/help/index.html]");

    std::filesystem::remove(out);
    EXPECT_TRUE(open_with_default_handler("-odd name.html"));
    ASSERT_TRUE(wait_for_file(out));
    EXPECT_EQ(text_of(out), "[./-odd name.html]");
}

TEST(Shell, OpenWithDefaultHandlerReportsWhenNothingCanStart) {
    ScratchDir dir;  // empty: no xdg-open here
    PathOverride path(dir.path());
    EXPECT_FALSE(open_with_default_handler("https://example.com/"));
    EXPECT_FALSE(open_with_default_handler(""));
}

}  // namespace
}  // namespace plk
