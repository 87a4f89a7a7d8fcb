#include "platform/ui/qt/front_end.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/ui/qt/conversions.h"
#include "platform/ui/qt/form_window.h"
#include "platform/ui/qt/layout.h"
#include "platform/ui/qt/qt_draw_api.h"

namespace ui::qt {

namespace {

constexpr int kIconCritical = 16;  // the style's icon: style & 0x70

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case kIconCritical:
      return QMessageBox::Critical;
    case mb::IconQuestion:
      return QMessageBox::Question;
    case mb::IconExclamation:
      return QMessageBox::Warning;
    case mb::IconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The window a new dialog belongs to: the modal dialog on top, or the
// active window.
QWidget* TopWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Whether the X server named by DISPLAY accepts a connection, asked
// through the X client library that Qt's X platform uses itself.
bool XDisplayAnswers(const std::string& display) {
  if (display.empty()) return false;
  void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
  if (xcb == nullptr) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool answers = false;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    void* connection = connect(display.c_str(), nullptr);
    answers = connection != nullptr && hasError(connection) == 0;
    if (connection != nullptr) disconnect(connection);
  }
  dlclose(xcb);
  return answers;
}

bool WaylandSocketExists() {
  std::string socket = Env("WAYLAND_DISPLAY");
  if (socket.empty()) return false;
  if (socket.front() != '/') socket = Env("XDG_RUNTIME_DIR") + "/" + socket;
  struct stat st{};
  return stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// For as long as a front end lives: Qt's messages go on to the handler
// installed before, and a fatal one (after which Qt would abort) ends in
// the program's FailureHandler once that handler has printed it, as
// CannotStart while the QApplication is being made and as Fatal once the
// front end has started.
class FatalWatch {
 public:
  explicit FatalWatch(FailureHandler failed) : savedFailed_(failed_), savedStarted_(started_) {
    failed_ = failed;
    started_ = false;
    const QtMessageHandler before = qInstallMessageHandler(&Handle);
    // A front end made while another lives shares its handler.
    outermost_ = before != &Handle;
    if (outermost_) previous_ = before;
  }
  ~FatalWatch() {
    if (outermost_) qInstallMessageHandler(previous_);
    failed_ = savedFailed_;
    started_ = savedStarted_;
  }
  FatalWatch(const FatalWatch&) = delete;
  FatalWatch& operator=(const FatalWatch&) = delete;

  void Started() { started_ = true; }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (const QtMessageHandler previous = previous_; previous != nullptr) {
      previous(type, context, message);
    } else {
      std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
    const FailureHandler failed = failed_;
    if (type == QtFatalMsg && failed != nullptr) {
      std::fflush(stderr);
      failed(started_ ? QtFailure::Fatal : QtFailure::CannotStart);
    }
  }

  // Qt takes a plain function, so what it needs is the process's: set by
  // the watch of the front end made last. Fatal messages may come from any
  // thread.
  static inline std::atomic<QtMessageHandler> previous_ = nullptr;
  static inline std::atomic<FailureHandler> failed_ = nullptr;
  static inline std::atomic<bool> started_ = false;
  // What a front end made earlier, and living still, had set.
  const FailureHandler savedFailed_;
  const bool savedStarted_;
  bool outermost_ = false;
};

// The front end proper: the QApplication it started (null when one ran
// already) and the service it put aside. It installs its service and
// drawing interface only once Started: until then it has changed nothing
// but the QApplication.
class QtFrontEnd final : public FrontEnd {
 public:
  explicit QtFrontEnd(FailureHandler failed) : watch_(failed) {
    if (QApplication::instance() == nullptr) {
      // Qt keeps the arguments for the application's whole life.
      static int argc = 1;
      static char name[] = "kelPaktor2";
      static char* argv[] = {name, nullptr};
      app_ = std::make_unique<QApplication>(argc, argv);
    }
  }
  ~QtFrontEnd() override {
    if (previousService_) {
      SetDrawApi(nullptr);
      SetService(*previousService_);
    }
  }
  QtFrontEnd(const QtFrontEnd&) = delete;
  QtFrontEnd& operator=(const QtFrontEnd&) = delete;

  // A platform whose screen cannot be set up (linuxfb without a usable
  // framebuffer) starts all the same and fails only once a window is made.
  static bool HasScreen() { return QGuiApplication::primaryScreen() != nullptr; }

  void Started() {
    previousService_ = CurrentService();
    SetService(std::make_shared<QtService>());
    SetDrawApi(std::make_shared<QtDrawApi>());
    watch_.Started();
  }

 private:
  FatalWatch watch_;  // first made, last ended: it sees the QApplication end
  std::unique_ptr<QApplication> app_;
  std::optional<std::shared_ptr<Service>> previousService_;  // set once Started
};

}  // namespace

MsgResult QtService::MessageBox(std::string_view prompt, int style, std::optional<std::string_view> title) {
  QMessageBox box(TopWindow());
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQ(NewlineText(prompt)));
  box.setWindowTitle(ToQ(title ? *title : kDefaultTitle));
  box.setIcon(IconOf(style));
  QPushButton* yes = nullptr;
  if ((style & 0xF) == mb::YesNo) {
    yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton((style & mb::DefaultButton2) != 0 ? no : yes);
    box.setEscapeButton(no);
  } else {
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
  }
  box.exec();
  if (yes == nullptr) return MsgResult::Ok;
  return box.clickedButton() == yes ? MsgResult::Yes : MsgResult::No;
}

void QtService::ShowModal(Form& form) {
  FormWindow window(form, LayoutFor(form), TopWindow());
  window.Run();
}

void QtService::DoEvents() { QCoreApplication::processEvents(); }

bool DisplayAvailable() {
  if (QCoreApplication::instance() != nullptr) return true;
  std::string platform = Env("QT_QPA_PLATFORM");
  platform = platform.substr(0, platform.find(':'));
  if (platform == "wayland") return WaylandSocketExists();
  if (!platform.empty() && platform != "xcb") return true;  // offscreen, minimal, vnc, ...: no server needed
  return XDisplayAnswers(Env("DISPLAY"));
}

std::unique_ptr<FrontEnd> StartFrontEnd(FailureHandler failed) {
  if (!DisplayAvailable()) return nullptr;
  auto frontEnd = std::make_unique<QtFrontEnd>(failed);
  if (!QtFrontEnd::HasScreen()) {
    // Ended before the handler hears of it: the platform puts back what it
    // changed as it started (a console's keyboard and cursor), which a
    // handler that ends the process at once would leave as they are.
    frontEnd.reset();
    if (failed != nullptr) failed(QtFailure::NoScreen);
    return nullptr;
  }
  frontEnd->Started();
  return frontEnd;
}

}  // namespace ui::qt

extern "C" ui::qt::FrontEnd* kelui_qt_StartFrontEnd(const std::vector<ui::qt::NamedLayout>* layouts,
                                                    ui::qt::FailureHandler failed) {
  if (layouts != nullptr) ui::qt::RegisterLayouts(*layouts);
  return ui::qt::StartFrontEnd(failed).release();
}
