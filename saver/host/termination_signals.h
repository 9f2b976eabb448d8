#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmora {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so that a program ended
// from outside can still put things back (the cursor, the music) before it goes. While one of
// these is alive, the signals no longer end the process by themselves.
class TerminationSignals final : public QObject {
    Q_OBJECT

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void Received();

  private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velmora
