#include "saver/session_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <filesystem>

#include "common/picture_folder.h"
#include "common/window_id.h"
#include "saver/entry.h"
#include "saver/host/bmp_writer.h"

namespace velmora {
namespace {

constexpr int kTimerMilliseconds[] = {kTimer1Milliseconds, kTimer2Milliseconds,
                                      kTimer3Milliseconds};
// A daemon ends its hacks as it likes; a destroyed window must not keep us long.
constexpr int kDaemonWindowWatchMilliseconds = 100;

}  // namespace

SessionForm::SessionForm(const X11Connection* x11, const Settings& settings,
                         std::string mode_letter, std::string program_folder,
                         std::int32_t& LastResult, std::optional<X11WindowId> daemon_window)
    : x11_(x11),
      daemon_window_(daemon_window),
      music_(media_.commands(), media_.player(), LastResult),
      session_(*this, music_, settings, std::move(mode_letter), std::move(program_folder)) {
    setWindowTitle(QString::fromUtf8(kSessionWindowTitle.data(),
                                     static_cast<qsizetype>(kSessionWindowTitle.size())));
    setWindowFlag(Qt::FramelessWindowHint);
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        timers_[i].setInterval(kTimerMilliseconds[i]);
    }
    connect(&timers_[0], &QTimer::timeout, this, [this] { session_.Timer1_Timer(); });
    connect(&timers_[1], &QTimer::timeout, this, [this] { session_.Timer2_Timer(); });
    connect(&timers_[2], &QTimer::timeout, this, [this] { session_.Timer3_Timer(); });
    connect(&termination_, &TerminationSignals::Received, this,
            [this] { session_.Form_QueryUnload(); });
    // Queued: a renderer that cannot start at all is reported while the session is still
    // starting, and its end has to wait until the start is over.
    connect(
        &renderer_, &RendererProcess::Exited, this, [this] { session_.RendererExited(); },
        Qt::QueuedConnection);
    // The renderer watch runs from the window's creation.
    timers_[2].start();
    if (daemon_window_ && x11_ != nullptr) {
        connect(&daemon_window_watch_, &QTimer::timeout, this, [this] {
            if (!x11_->WindowRect(*daemon_window_)) {
                session_.Form_QueryUnload();
            }
        });
        daemon_window_watch_.start(kDaemonWindowWatchMilliseconds);
    }
}

void SessionForm::Load() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->geometry());
    }
    // A native window that is never mapped: other programs find its title, nobody sees it.
    winId();
    session_.Form_Load();
}

void SessionForm::closeEvent(QCloseEvent* event) {
    session_.Form_QueryUnload();
    event->accept();
}

std::string SessionForm::DesktopPictureName() const {
    return daemon_window_ ? WindowDesktopPictureName(*daemon_window_) : kDesktopPictureName;
}

std::optional<std::vector<std::uint8_t>> SessionForm::CaptureDesktopPicture() {
    if (daemon_window_) {
        return x11_ != nullptr ? x11_->DesktopUnder(*daemon_window_) : std::nullopt;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || x11_ == nullptr) {
        return std::nullopt;
    }
    // Qt measures in device-independent pixels from the screen's corner, the X server in pixels.
    const QRect area = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    return x11_->CaptureMirroredBmp(
        x11_->Root(), {area.left(), area.top(), area.left() + qRound(area.width() * ratio),
                       area.top() + qRound(area.height() * ratio)});
}

bool SessionForm::SavePicture(std::string_view file_name, const std::vector<std::uint8_t>& bmp) {
    // Only into a private folder of ours: a desktop capture is nobody else's to read.
    const auto folder = PictureFolder();
    const std::string name =
        file_name == kDesktopPictureName ? DesktopPictureName() : std::string(file_name);
    return PreparePictureFolder(folder) && WritePrivateFile(folder / name, bmp);
}

void SessionForm::StartRenderer(const std::string& path) {
    if (daemon_window_) {
        renderer_.Start(path, {kWindowIdOption, WindowIdText(*daemon_window_)});
    } else {
        renderer_.Start(path, {});
    }
}

void SessionForm::EndRenderer() {
    renderer_.End();
}

bool SessionForm::WindowTitledExists(std::string_view title) {
    return x11_ != nullptr && x11_->WindowTitledExists(title);
}

void SessionForm::SetTimerEnabled(SessionTimer timer, bool enabled) {
    QTimer& qt_timer = timers_[static_cast<std::size_t>(timer)];
    if (enabled && !qt_timer.isActive()) {
        qt_timer.start();
    } else if (!enabled) {
        qt_timer.stop();
    }
}

void SessionForm::ShowCursor() {
    if (x11_ != nullptr) {
        x11_->ShowCursor();
    }
}

void SessionForm::EndProgram() {
    for (QTimer& timer : timers_) {
        timer.stop();
    }
    daemon_window_watch_.stop();
    if (daemon_window_) {
        // A daemon makes new windows as it likes; their pictures must not pile up.
        std::error_code ignored;
        std::filesystem::remove(PictureFolder() / DesktopPictureName(), ignored);
    }
    QCoreApplication::exit(0);
}

}  // namespace velmora
