#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace {

std::filesystem::path& Folder() {
    static std::filesystem::path folder;
    return folder;
}

void RemoveFuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    Require(static_cast<bool>(out.flush()), "the input can be written to a file");
}

}  // namespace

const std::string& WriteInputFile(const char* name, const std::string& bytes) {
    namespace fs = std::filesystem;
    if (Folder().empty()) {
        std::random_device entropy;
        do {
            Folder() = fs::temp_directory_path() / ("veruvo-fuzz-" + std::to_string(entropy()));
        } while (!fs::create_directory(Folder()));
        std::atexit(RemoveFuzzFolder);
    }
    static std::string path;
    path = (Folder() / name).string();
    WriteWholeFile(path, bytes);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Bytes(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "\nPROPERTY DOES NOT HOLD: %s\n", property);
    std::abort();
}
