// Runs the built kelhost binary and captures its output; a fresh temp
// folder per test keeps parallel runs apart.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelhost_test {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// A temp folder removed with its contents at the end of the scope.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kelhost_test_XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

// Runs kelhost with the arguments; standard output and error go to files
// in `dir`. With a `cwd`, kelhost runs in that folder.
inline Result RunKelhost(const TempDir& dir, const std::vector<std::string>& args, const std::string& cwd = "") {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  Result r;
  pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) std::_Exit(127);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) std::_Exit(127);
    std::vector<char*> argv;
    std::string exe = KELHOST_PATH;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(exe.c_str(), argv.data());
    std::_Exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadFile(out);
  r.err = ReadFile(err);
  return r;
}

}  // namespace kelhost_test
