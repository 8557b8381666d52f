#include "platform/shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/files.h"

extern char** environ;

namespace plk {

namespace {

std::vector<char*> c_argv(std::vector<std::string>& words) {
    std::vector<char*> out;
    out.reserve(words.size() + 1);
    for (std::string& w : words) out.push_back(w.data());
    out.push_back(nullptr);
    return out;
}

bool is_executable_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool ends_with_exe(const std::string& name) {
    if (name.size() <= 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".exe";
}

// The file to run for a command name: beside the running program first, then
// each PATH directory; at each place the name as given, then without ".exe".
// A name with a '/' is taken as a path and not searched for.
std::string find_program(const std::string& name) {
    std::vector<std::string> names{name};
    if (ends_with_exe(name)) names.push_back(name.substr(0, name.size() - 4));
    if (name.find('/') != std::string::npos) {
        for (const std::string& n : names)
            if (is_executable_file(n)) return n;
        return {};
    }
    std::vector<std::string> dirs{program_directory()};
    const char* path_env = std::getenv("PATH");
    const std::string path = path_env != nullptr ? path_env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = path.find(':', start);
        std::string dir = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        // An empty PATH entry means the working directory.
        if (dir.empty()) dir = ".";
        if (dir.back() != '/') dir += '/';
        dirs.push_back(dir);
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    for (const std::string& dir : dirs)
        for (const std::string& n : names)
            if (is_executable_file(dir + n)) return dir + n;
    return {};
}

int wait_for(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    // Killed by a signal: reported the way shells do.
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

bool open_with_default_handler(const std::string& target) {
    if (target.empty()) return false;
    try {
        // A relative file name that starts with '-' would read as an option.
        std::vector<std::string> words{"xdg-open", target};
        if (target[0] == '-') words[1].insert(0, "./");
        std::vector<char*> args = c_argv(words);
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, args.data(), environ) != 0) return false;
        // Not waited for: a small thread collects the handler's exit so it
        // does not linger as a zombie.
        std::thread([pid] { wait_for(pid); }).detach();
        return true;
    } catch (...) {
        return false;
    }
}

std::vector<std::string> split_command_line(const std::string& command_line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (const char c : command_line) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;  // "" is an empty word of its own
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    // An unclosed quote runs to the end of the line.
    if (in_word) words.push_back(word);
    return words;
}

int run_and_wait(const std::vector<std::string>& argv) {
    try {
        if (argv.empty() || argv[0].empty()) return -1;
        const std::string program = find_program(argv[0]);
        if (program.empty()) return -1;
        std::vector<std::string> words = argv;
        std::vector<char*> args = c_argv(words);
        pid_t pid = 0;
        if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), environ) != 0) return -1;
        return wait_for(pid);
    } catch (...) {
        return -1;
    }
}

}  // namespace plk
