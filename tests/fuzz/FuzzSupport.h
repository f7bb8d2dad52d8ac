// What the fuzz targets share: the input as a file in a folder of their own,
// whole-file reads, and a property check that libFuzzer reports as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes as the whole of the file `name` in a fresh folder under the
// system's temporary folder, made on first use and removed at exit (the
// current directory stays, for libFuzzer's own relative paths); its path.
const std::string& WriteInputFile(const char* name, const std::string& bytes);

std::string ReadWholeFile(const std::string& path);

std::string Bytes(const uint8_t* data, size_t size);

// Aborts, so that libFuzzer keeps the input, when a property does not hold.
void Require(bool holds, const char* property);
