// What the fuzz targets share: a folder of their own for the files, whole-file
// writes and reads, and a property check that libFuzzer reports as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A fresh folder under the system's temporary folder, removed at exit. The
// current directory stays, for libFuzzer's own relative paths.
void MakeFuzzFolder();
// The path of a file of that name in the folder.
std::string InFuzzFolder(const char* name);

void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

std::string Bytes(const uint8_t* data, size_t size);

// Aborts, so that libFuzzer keeps the input, when a property does not hold.
void Require(bool holds, const char* property);
