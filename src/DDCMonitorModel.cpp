#include "DDCMonitorModel.h"

#include "DDCWinApi.h"

DDCMonitorModel::DDCMonitorModel(QObject *parent) : QAbstractListModel(parent)
{
    DDCWinApi *backend = DDCWinApi::instance();
    connect(backend, &DDCApi::monitorsAboutToChange, this, &DDCMonitorModel::beginResetModel);
    connect(backend, &DDCApi::monitorsChanged, this, [this](const QList<int> &previousIndexOf) {
        endResetModel();
        emit monitorsRelisted(previousIndexOf);
    });
}

DDCMonitorModel::~DDCMonitorModel() = default;

int DDCMonitorModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(DDCWinApi::instance()->monitorCount());
}

QVariant DDCMonitorModel::data(const QModelIndex &index, int role) const
{
    if (!hasIndex(index.row(), index.column(), QModelIndex()) || role != Qt::DisplayRole)
        return {};
    return DDCWinApi::instance()->monitorName(uint(index.row()));
}

// A ComboBox without a text role shows the role named "modelData".
QHash<int, QByteArray> DDCMonitorModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    names[Qt::DisplayRole] = QByteArrayLiteral("modelData");
    return names;
}

QString DDCMonitorModel::monitorKey(int row) const
{
    return row < 0 ? QString() : DDCWinApi::instance()->monitorKey(uint(row));
}
