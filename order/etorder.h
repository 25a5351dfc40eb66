#pragma once

#include <QObject>
#include <QStringList>

// The order singleton (GUI thread). For now it only takes the list files of
// the command line and the quit notice; items come with the order model.
class ETOrder : public QObject
{
    Q_OBJECT

public:
    static ETOrder *instance();

    explicit ETOrder(QObject *parent = nullptr);

    // Each list file names pictures one per line.
    void addImages(const QStringList &listFiles);

public slots:
    void removeAllOrderItems();
};
