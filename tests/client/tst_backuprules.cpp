#include "BackupRules.h"
#include <QtTest>
class TestBackupRules : public QObject
{
    Q_OBJECT
};
QTEST_APPLESS_MAIN(TestBackupRules)
#include "tst_backuprules.moc"
