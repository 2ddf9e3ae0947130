#pragma once

// File helpers of the library's tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace testfiles {

// A path in the test's temporary directory, unique to this process.
inline std::string tempPath(const std::string& name)
{
    return ::testing::TempDir() + "moxta-" + std::to_string(::getpid()) + "-" + name;
}

inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Replaces the file whole, as a rename: the library may re-read a bench file at any moment and must
// never see it half-written.
inline void spit(const std::string& path, const std::string& text)
{
    const std::string next = path + ".next";
    {
        std::ofstream out(next, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::rename(next.c_str(), path.c_str());
}

} // namespace testfiles
