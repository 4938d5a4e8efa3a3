#include "FakeSysfs.h"

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

const QString gpu = QStringLiteral("/devices/pci0000:00/0000:00:02.0");

} // namespace

FakeSysfs::FakeSysfs()
{
    mkpath(QStringLiteral("/class/drm"));
    writeFile(gpu + QStringLiteral("/class"), "0x030000\n");
}

QString FakeSysfs::root() const
{
    return m_directory.path();
}

QString FakeSysfs::mkpath(const QString &path) const
{
    QDir().mkpath(root() + path);
    return root() + path;
}

void FakeSysfs::writeFile(const QString &path, const QByteArray &content) const
{
    QFile file(root() + path);
    QDir().mkpath(QFileInfo(file).path());
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void FakeSysfs::loadI2cDev()
{
    mkpath(QStringLiteral("/class/i2c-dev"));
}

void FakeSysfs::addConnector(const QString &name, const QByteArray &status, const QByteArray &edid,
                             int bus)
{
    const QString card = name.section(QLatin1Char('-'), 0, 0);
    const QString connector = gpu + QStringLiteral("/drm/%1/%2").arg(card, name);
    writeFile(connector + QStringLiteral("/status"), status + '\n');
    writeFile(connector + QStringLiteral("/edid"), edid);
    mkpath(connector + QStringLiteral("/drm_dp_aux0"));
    QFile::link(root() + connector, root() + QStringLiteral("/class/drm/") + name);
    if (bus < 0)
        return;
    if (name.section(QLatin1Char('-'), 1, -2) == QLatin1String("DP"))
        addBus(connector, bus);
    else
        QFile::link(addBus(gpu, bus), root() + connector + QStringLiteral("/ddc"));
}

QString FakeSysfs::addBus(const QString &parent, int bus)
{
    const QString adapter = root() + parent + QStringLiteral("/i2c-%1").arg(bus);
    const QString node = mkpath(parent + QStringLiteral("/i2c-%1/i2c-dev/i2c-%1").arg(bus));
    QFile::link(adapter, node + QStringLiteral("/device"));
    QFile::link(node, root() + QStringLiteral("/class/i2c-dev/i2c-%1").arg(bus));
    return adapter;
}

QMap<QString, QByteArray> FakeSysfs::snapshot() const
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root(), QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.isSymLink()) {
            entries.insert(info.filePath(), QFile::encodeName(info.symLinkTarget()));
        } else if (info.isFile()) {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            entries.insert(info.filePath(), file.readAll());
        } else {
            entries.insert(info.filePath(),
                           info.lastModified().toString(Qt::ISODateWithMs).toUtf8());
        }
    }
    return entries;
}
