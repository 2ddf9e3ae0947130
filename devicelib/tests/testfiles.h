#pragma once

// File helpers of the library's tests.

#include <gtest/gtest.h>

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

inline void spit(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

} // namespace testfiles
