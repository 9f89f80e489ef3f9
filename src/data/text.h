#pragma once
// Text files of the program: the single-byte Cyrillic code page (windows-1251) on disk,
// UTF-8 in memory; lines ended by CR LF, LF or CR alike.

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

namespace ws {

std::string Cp1251ToUtf8(std::string_view bytes);
// Characters windows-1251 cannot hold become "?".
std::string Utf8ToCp1251(std::string_view utf8);
// True when the bytes are well-formed UTF-8 (plain ASCII counts as UTF-8 too).
bool IsValidUtf8(std::string_view bytes);

// Text files the operator opens and saves: a file that is valid UTF-8 is read as UTF-8 (what
// Linux editors write), anything else as windows-1251. A UTF-8 byte-order mark is dropped.
std::string DecodeUserText(std::string_view bytes);
// Windows-1251 when every character fits, so the file reads back in programs that know only the
// Cyrillic code page; UTF-8 otherwise, so that nothing the operator typed is lost as "?".
std::string EncodeUserText(std::string_view utf8);

// A UTF-8 path string as a filesystem path, and back, on every platform.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Reads one line ended by CR LF, LF, CR or the end of the stream. Only the first `keep`
// characters are kept, the rest of an over-long line is skipped, so a hostile file cannot
// make a reader hold gigabytes. Returns false at the end of the stream with nothing read.
bool ReadTextLine(std::istream& in, std::string& line, size_t keep = 4096);

}  // namespace ws
