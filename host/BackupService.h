#pragma once

#include "BackupStore.h"
#include "TimeCard.h"

#include <QDateTime>
#include <QObject>
#include <QVariant>

#include <functional>

struct ServiceReply
{
    QString resultCode;
    QString xml;
    QString reason; // empty on success

    bool isSuccess() const { return resultCode == QLatin1String("0"); }
};

// The backup server the host talks to: keeps one scheduled-backup time-card and a camera
// inventory in its data folder and answers the client's commands with XML replies.
class BackupService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint64 revision READ revision NOTIFY timeCardChanged)
    Q_PROPERTY(QString dataFilePath READ dataFilePath CONSTANT)

public:
    explicit BackupService(const QString& dataDir, QObject* parent = nullptr);
    ~BackupService() override;

    // Loads the data file, or seeds and writes a sample one when the folder has none. A damaged
    // file is reported, never overwritten.
    bool open(QString* error);
    bool isOpen() const { return m_open; }

    static QStringList commands();
    static bool isKnownCommand(const QString& command);
    ServiceReply handle(const QString& command, const QVariant& arguments);

    qint64 revision() const { return m_card.revision; }
    TimeCard timeCard() const { return m_card; }
    QList<InventoryCamera> inventory() const { return m_inventory; }
    QString dataFilePath() const { return m_store.filePath(); }

    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock);

Q_SIGNALS:
    void timeCardChanged();

private:
    ServiceReply getTimeCard() const;
    ServiceReply getBackupPath() const;
    ServiceReply getBackupStatus() const;
    ServiceReply updateTimeCard(const QString& replyElement, const QVariant& arguments);
    ServiceReply refuse(const QString& replyElement, const QString& code,
                        const QString& reason) const;

    BackupStore m_store;
    TimeCard m_card;
    QList<InventoryCamera> m_inventory;
    Clock m_clock;
    bool m_open = false;
};
