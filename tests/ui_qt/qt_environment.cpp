// One QApplication per test process, on Qt's offscreen platform with one
// 1024 x 768 screen at 96 dots per inch: no display server is needed and
// every run sees the same screen.
#include <gtest/gtest.h>

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string dir = ::testing::TempDir();
    const std::string screens = dir + "kp_screens_" + std::to_string(getpid()) + ".json";
    std::ofstream(screens) << R"({"screens": [{"name": "kp", "x": 0, "y": 0, "width": 1024, "height": 768,)"
                              R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
      // Qt wants a private folder of its own there.
      std::string runtime = dir + "kp_runtime_XXXXXX";
      if (mkdtemp(runtime.data()) != nullptr) {
        runtime_ = runtime;
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
      }
    }
    static int argc = 1;
    static char name[] = "ui_qt_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    std::remove(screens.c_str());
  }
  void TearDown() override {
    app_.reset();
    if (!runtime_.empty()) rmdir(runtime_.c_str());
  }

 private:
  std::unique_ptr<QApplication> app_;
  std::string runtime_;
};

[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
