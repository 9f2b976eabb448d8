#pragma once

#include <QObject>
#include <QProcess>

#include <chrono>
#include <string>
#include <vector>

namespace velmora {

// The renderer as a child the saver owns: its exit seen at once, and never left behind. Should the
// saver die without a word, the kernel asks it to end (SIGTERM).
class RendererProcess final : public QObject {
    Q_OBJECT

  public:
    // How long the renderer gets to put the display back before it is killed.
    static constexpr std::chrono::milliseconds kGraceTime{1000};

    explicit RendererProcess(QObject* parent = nullptr);
    // Ends the renderer if it still runs.
    ~RendererProcess() override;

    // False when the program could not be started at all.
    bool Start(const std::string& path, const std::vector<std::string>& arguments);
    // SIGTERM, then SIGKILL once the grace time has passed; returns when the renderer has gone.
    void End();

  signals:
    // The renderer has ended, or could not be started.
    void Exited();

  private:
    QProcess process_;
};

}  // namespace velmora
