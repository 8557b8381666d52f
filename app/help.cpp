#include "app/help.h"

#include <algorithm>
#include <cctype>

namespace plk {

std::string help_page_for(const std::string& file_name) {
    struct Example {
        const char* tag;
        const char* page;
    };
    static constexpr Example kExamples[] = {
        {"#example1", "vastrel70.htm"},
        {"#example2", "vastrel71.htm"},
        {"#example3", "vastrel72.htm"},
    };
    std::string lower = file_name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string page = "pkcreate.htm";
    for (const Example& e : kExamples)
        if (lower.find(e.tag) != std::string::npos) page = e.page;
    return page;
}

std::string help_page_path(const std::string& program_dir, const std::string& page) {
    return program_dir + "help/" + page;
}

}  // namespace plk
