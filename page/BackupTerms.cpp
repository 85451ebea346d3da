#include "BackupTerms.h"

#include "BackupProtocol.h"
#include "ServiceLimits.h"

BackupTerms::BackupTerms(QObject* parent) : QObject(parent) { }

QString BackupTerms::allCamerasTag() const
{
    return BackupProtocol::AllCamerasTag;
}

int BackupTerms::maxThroughputMB() const
{
    return ServiceLimits::MaxThroughputMB;
}

int BackupTerms::maxRangeDays() const
{
    return ServiceLimits::MaxRangeDays;
}

QVariantMap BackupTerms::pageCamera(const QString& cameraId, const QString& groupId) const
{
    return {{BackupProtocol::PageCamera::Name, cameraId},
            {BackupProtocol::PageCamera::GroupId, groupId}};
}
