// Runs the built kelhost binary and captures its output; a fresh temp
// folder per test keeps parallel runs apart.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
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

// How to start one kelhost process.
struct Launch {
  std::vector<std::string> args;
  std::string out, err;  // files for standard output and error
  std::string cwd;       // "" : the test's own working folder
  bool closedStdout = false;  // standard output a pipe nobody reads
  bool unprivileged = false;  // as the user "nobody" when the test runs as root
  std::string user{};         // as this user, with its groups, when the test runs as root
  bool offscreen = false;     // dialogs show on Qt's offscreen platform
  rlim_t fileSizeLimit = 0;   // bytes any file it writes may reach (ulimit -f); 0: no limit
  std::string exe{};               // "" : the built kelhost
  std::vector<std::string> env{};  // NAME=VALUE entries added to its environment
};

// Starts kelhost; returns its process id. It finds no display (a command
// that would show a dialog on screen says so instead) unless the launch
// asks for the offscreen one.
inline pid_t StartKelhost(const Launch& l) {
  // The user's ids and groups, looked up before the fork.
  uid_t uid = 0;
  gid_t gid = 0;
  std::vector<gid_t> groups(256);
  if (!l.user.empty()) {
    const passwd* entry = ::getpwnam(l.user.c_str());
    if (!entry) return -1;
    uid = entry->pw_uid;
    gid = entry->pw_gid;
    int count = static_cast<int>(groups.size());
    if (::getgrouplist(l.user.c_str(), gid, groups.data(), &count) < 0) return -1;
    groups.resize(static_cast<size_t>(count));
  }
  pid_t pid = ::fork();
  if (pid == 0) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    if (l.offscreen) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const std::string& entry : l.env) ::putenv(const_cast<char*>(entry.c_str()));
    if (!std::freopen(l.out.c_str(), "w", stdout) || !std::freopen(l.err.c_str(), "w", stderr)) std::_Exit(127);
    if (l.closedStdout) {
      int fds[2];
      if (::pipe(fds) != 0 || ::dup2(fds[1], 1) < 0) std::_Exit(127);
      ::close(fds[0]);
      ::close(fds[1]);
    }
    if (!l.cwd.empty() && ::chdir(l.cwd.c_str()) != 0) std::_Exit(127);
    const rlimit fileSize{l.fileSizeLimit, l.fileSizeLimit};
    if (l.fileSizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &fileSize) != 0) std::_Exit(127);
    // Root may write any file; "nobody" meets the file modes.
    if (l.unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(127);
    if (!l.user.empty() && ::geteuid() == 0 &&
        (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
      std::_Exit(127);
    std::vector<char*> argv;
    std::string exe = l.exe.empty() ? KELHOST_PATH : l.exe;
    argv.push_back(exe.data());
    std::vector<std::string> copy = l.args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(exe.c_str(), argv.data());
    std::_Exit(127);
  }
  return pid;
}

// Waits for a started kelhost: its exit status, or -1 when a signal ended it.
inline int WaitKelhost(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a launch to its end.
inline Result RunKelhost(const Launch& l) {
  Result r;
  r.status = WaitKelhost(StartKelhost(l));
  if (std::filesystem::is_regular_file(l.out)) r.out = ReadFile(l.out);  // not /dev/full
  r.err = ReadFile(l.err);
  return r;
}

// Runs kelhost with the arguments; standard output and error go to files
// in `dir`. With a `cwd`, kelhost runs in that folder.
inline Result RunKelhost(const TempDir& dir, const std::vector<std::string>& args, const std::string& cwd = "") {
  return RunKelhost(Launch{args, dir.File("stdout.txt"), dir.File("stderr.txt"), cwd});
}

}  // namespace kelhost_test
