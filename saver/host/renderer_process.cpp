#include "saver/host/renderer_process.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace velmora {

RendererProcess::RendererProcess(QObject* parent) : QObject(parent) {
    // The renderer writes to the saver's own terminal; a pipe nobody reads would fill and stall it.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.setInputChannelMode(QProcess::ForwardedInputChannel);
    connect(&process_, &QProcess::finished, this, &RendererProcess::Exited);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            emit Exited();
        }
    });
}

RendererProcess::~RendererProcess() {
    End();
}

bool RendererProcess::Start(const std::string& path, const std::vector<std::string>& arguments) {
    const pid_t saver = getpid();
    process_.setChildProcessModifier([saver] {
        // Runs in the child between fork and exec. The death signal is checked against a saver
        // that has already gone in between, which the kernel would never report.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != saver) {
            _exit(EXIT_FAILURE);
        }
    });
    QStringList list;
    for (const std::string& argument : arguments) {
        list.append(QString::fromStdString(argument));
    }
    process_.start(QString::fromStdString(path), list);
    return process_.waitForStarted();
}

void RendererProcess::End() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    process_.terminate();
    if (!process_.waitForFinished(static_cast<int>(kGraceTime.count()))) {
        process_.kill();
        process_.waitForFinished(-1);
    }
}

}  // namespace velmora
