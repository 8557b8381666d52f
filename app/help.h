#pragma once
// Help pages and the maker's web address.
#include <string>

namespace plk {

// The maker's web address, opened by the logos and the about box's link.
inline constexpr const char* kMakerWebAddress = "https://www.plankora.example/";
// Status text while the mouse is over the logo.
inline constexpr const char* kLogoPrompt = "Visit us at https://www.plankora.example/ - click the logo";

// The help page for a design file name: "pkcreate.htm", or the example page
// whose tag ("#example1".."#example3") the lower-cased name contains; when
// several match, the last one wins.
std::string help_page_for(const std::string& file_name);
// program_dir + "help/" + page.
std::string help_page_path(const std::string& program_dir, const std::string& page);

}  // namespace plk
