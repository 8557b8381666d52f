#pragma once
// Small file and process helpers.
#include <cstdint>
#include <string>
#include <vector>

namespace plk {

bool file_exists(const std::string& path);
// Copies src over dst; false when it fails (nothing thrown).
bool copy_file_over(const std::string& src, const std::string& dst);
// Whole file as bytes; throws AppError("Cannot open file <path>").
std::vector<std::uint8_t> read_file_bytes(const std::string& path);
// Writes bytes to a temporary file in the same directory, then renames it over
// path, so the old file survives any failure. Throws
// AppError("Cannot create file <path>").
void write_file_atomic(const std::string& path, const std::vector<std::uint8_t>& bytes);
void write_file_atomic(const std::string& path, const std::string& text);
// Directory of the running program, ending in '/'.
std::string program_directory();
// The last path component ("/a/b/c.pk1" -> "c.pk1"; also splits on '\\').
std::string file_name_part(const std::string& path);

}  // namespace plk
