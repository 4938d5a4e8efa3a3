#pragma once

#include <QtCore/QAbstractListModel>
#include <QtQml/qqmlregistration.h>

// The monitors of the backend as a list of display names, for the monitor
// drop-down. It keeps no copy: every answer comes from the backend, whose
// monitors never change while the program runs.
class DDCMonitorModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit DDCMonitorModel(QObject *parent = nullptr);
    ~DDCMonitorModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
};
