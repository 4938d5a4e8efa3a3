#include "FirstFrameReporter.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtGui/QPlatformSurfaceEvent>
#include <QtQuick/QQuickWindow>

#include <cstdio>

namespace {

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression resident(QStringLiteral("VmRSS:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = resident.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

void FirstFrameReporter::install(bool quit)
{
    QCoreApplication::instance()->installEventFilter(new FirstFrameReporter(quit));
}

FirstFrameReporter::FirstFrameReporter(bool quit)
    : QObject(QCoreApplication::instance()), m_quit(quit)
{ }

// A window renders only once it has a platform surface.
bool FirstFrameReporter::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QQuickWindow *>(watched);
    if (window && event->type() == QEvent::PlatformSurface
        && static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType()
            == QPlatformSurfaceEvent::SurfaceCreated)
        connect(
            window, &QQuickWindow::frameSwapped, this, [this] { report(); }, Qt::DirectConnection);
    return false;
}

void FirstFrameReporter::report()
{
    if (m_reported.exchange(true))
        return;
    std::printf("first-frame %lld\n", residentKilobytes());
    std::fflush(stdout);
    if (m_quit)
        QMetaObject::invokeMethod(
            this, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}
