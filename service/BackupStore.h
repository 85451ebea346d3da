// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "Result.h"
#include "TimeCard.h"

#include <QDeadlineTimer>
#include <QString>

#include <memory>

enum class StoreError {
    NoError,
    CannotRead, // the file or its folder cannot be opened
    Damaged, // the file is there but is not a valid data file
    CannotWrite, // the new content could not be written; the old file is intact
    Locked, // another program is saving
    TooLarge, // the new content would exceed the size cap; the old file is intact
};

// Holds the data file for one read-compare-write: an flock() on the folder that really holds the
// file. The kernel drops it when this object goes away or its process ends, however it ends, so
// no lock is ever left behind; the folder needs no lock file, so any user who may write the data
// may take it, even in a folder where nobody can create files.
class StoreLock
{
public:
    StoreLock(int fd, const QString& filePath);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // The data file with every symbolic link resolved: what is read and replaced under the lock.
    QString filePath() const { return m_filePath; }

private:
    int m_fd;
    QString m_filePath;
};

template<typename T = std::monostate> using StoreResult = Result<StoreError, T>;

// The service's data file: the time-card and the camera inventory in one XML document.
//
// Several processes may use one data file, also through symbolic links. Writers hold a StoreLock
// while they read, compare and write, and every write goes to a temporary file beside the resolved
// file that replaces it only once all of it is on disk. So readers see either the old or the new
// content, never a mix, and need no lock: reading works in a read-only folder and on a full disk.
class BackupStore
{
public:
    explicit BackupStore(const QString& dataDir);
    ~BackupStore();

    QString filePath() const;
    bool exists() const;

    // Waits for the lock until `deadline`; an expired deadline tries once. Locked when another
    // program still holds it.
    using Lock = std::shared_ptr<StoreLock>;
    StoreResult<Lock> lock(QDeadlineTimer deadline) const;

    StoreResult<ServiceData> load() const;
    StoreResult<ServiceData> load(const StoreLock& lock) const;
    // Writes the resolved file; the caller holds the lock, or knows that nobody else writes.
    StoreResult<> save(const ServiceData& data) const;
    StoreResult<> save(const StoreLock& lock, const ServiceData& data) const;

    // Reads a data document from memory; used by load() and by the fuzzer.
    static StoreResult<ServiceData> parse(const QByteArray& document);
    static QByteArray serialize(const ServiceData& data);

    static ServiceData sampleData();

    // Larger files are neither read nor written.
    static constexpr qint64 MaximumFileSize = 64 * 1024 * 1024;

private:
    QString resolvedFilePath() const;
    static StoreResult<ServiceData> readFile(const QString& path);
    static StoreResult<> writeFile(const QString& path, const ServiceData& data);

    QString m_dataDir;
};
