#pragma once

#include <QtCore/QObject>

#include <atomic>

// Writes one line to standard output when a Qt Quick window of this process
// has shown its first frame: "first-frame <resident memory in kB>".
class FirstFrameReporter : public QObject
{
public:
    // Watches the application's windows from now on; with `quit`, the
    // application ends after the report.
    static void install(bool quit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FirstFrameReporter(bool quit);
    // Runs on the thread that renders.
    void report();

    bool m_quit;
    std::atomic_bool m_reported{false};
};
