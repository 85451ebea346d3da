#pragma once

#include "Result.h"
#include "TimeCard.h"

#include <QString>

#include <memory>

class QIODevice;
class QLockFile;

enum class StoreError {
    NoError,
    CannotRead, // the file or its folder cannot be opened
    Damaged, // the file is there but is not a valid data file
    CannotWrite, // the new content could not be written; the old file is intact
    Locked, // another process holds the data folder for too long
};

template<typename T = std::monostate> using StoreResult = Result<StoreError, T>;

// The service's data file: the time-card and the camera inventory in one XML document.
//
// Several processes may use one data folder. Writers hold the folder's lock file while they read,
// compare and write, and every write goes to a temporary file that replaces the old one only once
// all of it is on disk, so readers see either the old or the new content, never a mix.
class BackupStore
{
public:
    explicit BackupStore(const QString& dataDir);
    ~BackupStore();

    QString filePath() const;
    QString lockFilePath() const;
    bool exists() const;

    // Holds the data folder for one read-compare-write. The folder is released when the value
    // goes away.
    using Lock = std::shared_ptr<QLockFile>;
    StoreResult<Lock> lock() const;

    StoreResult<ServiceData> load() const;
    StoreResult<> save(const ServiceData& data) const;

    // Reads a data document from memory; used by load() and by the fuzzer.
    static StoreResult<ServiceData> parse(const QByteArray& document);
    static QByteArray serialize(const ServiceData& data);

    static ServiceData sampleData();

    // Larger files are refused unread.
    static constexpr qint64 MaximumFileSize = 64 * 1024 * 1024;

private:
    QString m_dataDir;
};
