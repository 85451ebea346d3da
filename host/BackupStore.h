#pragma once

#include "TimeCard.h"

#include <QList>
#include <QString>

// The service's data file: the time-card and the camera inventory in one XML document. Writes go
// through QSaveFile, so a crash leaves either the previous or the new file, never a mix.
class BackupStore
{
public:
    explicit BackupStore(const QString& dataDir);

    QString dataDir() const { return m_dataDir; }
    QString filePath() const;
    bool exists() const;

    bool load(TimeCard* card, QList<InventoryCamera>* inventory, QString* error) const;
    bool save(const TimeCard& card, const QList<InventoryCamera>& inventory, QString* error) const;

    static TimeCard sampleTimeCard();
    static QList<InventoryCamera> sampleInventory();

private:
    QString m_dataDir;
};
