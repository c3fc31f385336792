// A fresh temporary folder per test, removed afterwards, and small file helpers.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "ScratchFolder.h"

namespace vantelsor::test {

// A parameter's text for test names: letters and digits as they are, every other byte as
// "_XX" (hex), so different texts give different names.
inline std::string Escaped(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            out += '_';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out.substr(0, 80);
}

// A case title for test names: letters and digits, spaces as '_', other bytes dropped.
inline std::string Title(const std::string& text) {
    std::string out;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out += c;
        } else if (c == ' ') {
            out += '_';
        }
    }
    return out;
}

// A GoogleTest parameter name: the case's number and its escaped text.
inline std::string CaseName(std::size_t index, const std::string& text) {
    return std::to_string(index) + "_" + Escaped(text);
}

class TempFolderTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    static void WriteFile(const std::string& path, const std::string& data) {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(data.data(), static_cast<std::streamsize>(data.size()));
        ASSERT_TRUE(f.good()) << path;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    static bool FileExists(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

    // The names in a folder, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch_;
    std::string dir_ = scratch_.path().string();
};

}  // namespace vantelsor::test
