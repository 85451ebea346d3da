#include "BackupProtocol.h"
#include "BackupService.h"
#include "PageViewer.h"
#include "ServiceLimits.h"

#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

namespace {
TimeCard storedCard(const PageViewer& viewer)
{
    return const_cast<PageViewer&>(viewer).host()->service()->data().value().card;
}

// Stores a change made by someone else (another client): a new directory and new limits.
QString storeOtherChange(PageViewer& viewer, const QString& dir, qint64 throughputBytes,
                         qint64 rangeMinutes)
{
    const TimeCard card = storedCard(viewer);
    const QVariantMap other {
        {BackupProtocol::Arg::Revision, card.revision},
        {BackupProtocol::Arg::TmcardId, card.tmcardId},
        {BackupProtocol::Arg::Enabled, card.enabled},
        {BackupProtocol::Arg::TargetCyclic, card.targetCyclic},
        {BackupProtocol::Arg::Dir, dir},
        {BackupProtocol::Arg::CamGroupList,
         QVariantList {QVariantMap {{BackupProtocol::Arg::CamId, BackupProtocol::AllCamerasTag}}}},
        {BackupProtocol::Arg::TimeFrameMessage, card.timeFrameXml},
        {BackupProtocol::Arg::MaxThroughput, throughputBytes},
        {BackupProtocol::Arg::MaxRange, rangeMinutes}};
    return viewer.host()->service()->handle(BackupProtocol::UpdateTimeCard, other).resultCode;
}
} // namespace

// The page in the viewer against the real plug-in and the embedded service, in-process.
class SchedulePageTest : public QObject
{
    Q_OBJECT

private:
    // A viewer on a fresh data folder, its settings loaded and its window shown.
    std::unique_ptr<PageViewer> startViewer();
    QQuickItem* item(const PageViewer& viewer, const char* name) const;
    void retype(const PageViewer& viewer, const char* name, const QString& text) const;
    void click(const PageViewer& viewer, const char* name) const;

    QTemporaryDir m_data;

private Q_SLOTS:
    void init();
    void fillsAndSavesOnlyWhatTheServiceConfirms();
    void largeLimitsAreShownAndSentBackExactly();
    void conflictReloadShowsTheOtherChange();
    void conflictOverwriteSavesOnTopOfTheNewestRevision();
};

void SchedulePageTest::init()
{
    // Every test starts from the service's sample data.
    QFile::remove(m_data.filePath("schedule-backup.xml"));
}

std::unique_ptr<PageViewer> SchedulePageTest::startViewer()
{
    auto viewer = std::make_unique<PageViewer>();
    const QString error
        = viewer->start({m_data.path(), QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR), 0});
    if (!error.isEmpty()) {
        qWarning("%s", qPrintable(error));
        return nullptr;
    }
    viewer->show();
    if (!QTest::qWaitForWindowExposed(viewer->view()))
        return nullptr;
    if (!QTest::qWaitFor([&] { return viewer->page()->property("loaded").toBool(); }))
        return nullptr;
    return viewer;
}

QQuickItem* SchedulePageTest::item(const PageViewer& viewer, const char* name) const
{
    return viewer.page()->findChild<QQuickItem*>(name);
}

void SchedulePageTest::retype(const PageViewer& viewer, const char* name, const QString& text) const
{
    item(viewer, name)->setProperty("text", text);
}

void SchedulePageTest::click(const PageViewer& viewer, const char* name) const
{
    // Layouts place what just became visible when the next frame is made.
    viewer.view()->grabWindow();
    QQuickItem* target = item(viewer, name);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(viewer.view(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void SchedulePageTest::fillsAndSavesOnlyWhatTheServiceConfirms()
{
    const auto viewer = startViewer();
    QVERIFY(viewer);
    QObject* page = viewer->page();
    QObject* plugin = viewer->host()->scheduleBackup();
    // The service's sample: Monday to Friday, 09:00 to 17:00.
    QCOMPARE(item(*viewer, "targetDirField")->property("text").toString(), "/srv/backup/video");
    QCOMPARE(item(*viewer, "scheduleNameField")->property("text").toString(), "Office hours");
    QCOMPARE(item(*viewer, "weekGrid")->property("selectedCount").toInt(), 5 * 16);
    QCOMPARE(page->property("modified").toBool(), false);

    retype(*viewer, "targetDirField", "/mnt/archive");
    retype(*viewer, "scheduleNameField", "Evenings");
    const QString evenings = R"({"Rectangles":[{"Top":18,"Bottom":22,"Left":0,"Right":1}]})";
    item(*viewer, "weekGrid")->setProperty("document", evenings);
    QVERIFY(QMetaObject::invokeMethod(page, "save"));
    QCOMPARE(page->property("saving").toBool(), true);
    QCOMPARE(plugin->property("targetDir").toString(), "/srv/backup/video");
    QTRY_COMPARE(page->property("saving").toBool(), false);
    QCOMPARE(plugin->property("targetDir").toString(), "/mnt/archive");
    QCOMPARE(plugin->property("scheduleTemplate").toString(), evenings);
    QCOMPARE(storedCard(*viewer).dir, "/mnt/archive");
    QCOMPARE(storedCard(*viewer).name.isEmpty(), false);
    QCOMPARE(page->property("modified").toBool(), false);
}

void SchedulePageTest::largeLimitsAreShownAndSentBackExactly()
{
    const auto viewer = startViewer();
    QVERIFY(viewer);
    QObject* page = viewer->page();
    const qint64 bytes = 4096 * ServiceLimits::BytesPerMegabyte;
    const qint64 minutes = 3650 * ServiceLimits::MinutesPerDay;
    QCOMPARE(storeOtherChange(*viewer, "/srv/backup/video", bytes, minutes),
             BackupProtocol::Code::Success);
    QVERIFY(QMetaObject::invokeMethod(page, "reload"));
    QTRY_COMPARE(item(*viewer, "throughputField")->property("text").toString(), "4096");
    QCOMPARE(item(*viewer, "rangeField")->property("text").toString(), "3650");
    QTRY_COMPARE(page->property("session").value<QObject*>()->property("busy").toBool(), false);

    // A save that only renames the schedule stores the limits unchanged.
    retype(*viewer, "scheduleNameField", "Renamed");
    const QString frameBefore = storedCard(*viewer).timeFrameXml;
    QVERIFY(QMetaObject::invokeMethod(page, "save"));
    QTRY_COMPARE(page->property("saving").toBool(), false);
    const TimeCard card = storedCard(*viewer);
    QCOMPARE(card.timeFrameName, "Renamed");
    QCOMPARE(card.maxThroughputBytes, bytes);
    QCOMPARE(card.maxRangeMinutes, minutes);
    QCOMPARE(card.intervals.size(), 5);
    QVERIFY(frameBefore.contains("Office hours"));
}

void SchedulePageTest::conflictReloadShowsTheOtherChange()
{
    const auto viewer = startViewer();
    QVERIFY(viewer);
    QObject* page = viewer->page();
    retype(*viewer, "targetDirField", "/mnt/mine");
    QCOMPARE(storeOtherChange(*viewer, "/elsewhere", 1 << 20, 1440), BackupProtocol::Code::Success);
    QVERIFY(QMetaObject::invokeMethod(page, "save"));
    QTRY_COMPARE(page->property("saving").toBool(), false);
    QCOMPARE(page->property("lastRefusal").toString(), BackupProtocol::Code::StaleRevision);
    QVERIFY(item(*viewer, "overwriteButton")->isVisible());
    QCOMPARE(item(*viewer, "targetDirField")->property("text").toString(), "/mnt/mine");

    click(*viewer, "conflictReloadButton");
    QTRY_COMPARE(item(*viewer, "targetDirField")->property("text").toString(), "/elsewhere");
    QCOMPARE(item(*viewer, "throughputField")->property("text").toString(), "1");
    QCOMPARE(page->property("modified").toBool(), false);
    QVERIFY(!item(*viewer, "overwriteButton")->isVisible());
    QCOMPARE(storedCard(*viewer).revision, 2);
}

void SchedulePageTest::conflictOverwriteSavesOnTopOfTheNewestRevision()
{
    const auto viewer = startViewer();
    QVERIFY(viewer);
    QObject* page = viewer->page();
    retype(*viewer, "targetDirField", "/mnt/mine");
    QCOMPARE(storeOtherChange(*viewer, "/elsewhere", 1 << 20, 1440), BackupProtocol::Code::Success);
    QVERIFY(QMetaObject::invokeMethod(page, "save"));
    QTRY_VERIFY(item(*viewer, "overwriteButton")->isVisible());

    click(*viewer, "overwriteButton");
    QTRY_COMPARE(storedCard(*viewer).revision, 3);
    QTRY_COMPARE(page->property("saving").toBool(), false);
    const TimeCard card = storedCard(*viewer);
    QCOMPARE(card.dir, "/mnt/mine");
    // This page's values win where it showed something else, the limits included.
    QCOMPARE(card.maxThroughputBytes, 30 * ServiceLimits::BytesPerMegabyte);
    QCOMPARE(item(*viewer, "targetDirField")->property("text").toString(), "/mnt/mine");
    QCOMPARE(page->property("modified").toBool(), false);
    QCOMPARE(page->property("lastRefusal").toString(), QString());
}

QTEST_MAIN(SchedulePageTest)
#include "tst_schedulepage.moc"
