// Helpers of the benchmarks: names, temporary database files, a clock for
// timing parts of an iteration, and counts of the memory allocations a
// piece of work makes (C++ allocations and SQLite's own).
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// prefix + number (built with += to keep GCC's -Wrestrict quiet).
inline std::string Name(const char* prefix, long n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

// A new file name in the temp folder; the files go when the process ends.
inline std::string TempDatabase(const char* stem) {
  static std::vector<std::string> made;
  static const bool cleanup = [] {
    std::atexit([] {
      std::error_code ec;
      for (const std::string& p : made)
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(p + suffix, ec);
    });
    return true;
  }();
  (void)cleanup;
  std::string path = (std::filesystem::temp_directory_path() / (std::string(stem) + "_XXXXXX")).string();
  const int fd = ::mkstemp(path.data());
  if (fd >= 0) ::close(fd);
  std::filesystem::remove(path);
  made.push_back(path);
  return path;
}

// Seconds since some fixed point, for timing parts of an iteration.
inline double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Allocations made so far by this process: C++ and SQLite.
struct Allocations {
  int64_t count = 0;
  int64_t bytes = 0;
};

// The allocations counted so far (support/counting_allocator.cpp, which
// every benchmark program links, replaces the program's operator new and
// delete and SQLite's allocator with counting ones).
Allocations AllocationsSoFar();

}  // namespace bench

