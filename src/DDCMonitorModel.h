#pragma once

#include <QtCore/QAbstractListModel>
#include <QtQml/qqmlregistration.h>

// The monitors of the backend as a list of display names, for the monitor
// drop-down. It keeps no copy: every answer comes from the backend. When the
// backend lists its monitors anew, the model is reset, and then tells where
// each row was before, so that a selection can stay with its monitor.
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
    // Who the monitor in `row` is: the same text whenever it is listed, so
    // that a selection can follow it while it is away; empty for a row that
    // is no monitor's.
    Q_INVOKABLE QString monitorKey(int row) const;

signals:
    // Row i was row previousRowOf[i] before the reset, -1 for a new one.
    void monitorsRelisted(const QList<int> &previousRowOf);
};
