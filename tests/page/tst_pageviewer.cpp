// SPDX-License-Identifier: BSD-3-Clause
// The viewer as its main drives it: started on a data folder with the real plug-in, it shows the
// stored settings and takes the picture; a host that cannot start is reported, not shown.

#include "PageViewer.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString PluginDir = QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR);
const QString DataFile = QStringLiteral("schedule-backup.xml");

} // namespace

class PageViewerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheStoredSettingsAndSavesThePicture_data()
    {
        QTest::addColumn<QString>("picture"); // relative to the data folder
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a picture in the data folder is saved") << "page.png" << 0;
        QTest::newRow("a picture in a missing folder is reported") << "missing/page.png" << 1;
    }

    void showsTheStoredSettingsAndSavesThePicture()
    {
        QFETCH(QString, picture);
        QFETCH(int, exitCode);
        // A new data folder is seeded with the demo settings; its name is shown as it is.
        const QTemporaryDir data(QDir::tempPath() + QStringLiteral("/<i>viewer-XXXXXX"));
        PageViewer viewer;
        const QString error = viewer.start({data.path(), PluginDir});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(QFile::exists(QDir(data.path()).filePath(DataFile)));
        viewer.show();
        QSignalSpy loaded(viewer.host()->scheduleBackup(), SIGNAL(getBackupInfoResp(bool)));
        QVERIFY(loaded.wait());
        QCOMPARE(loaded.first().first(), QVariant(true));
        const auto* dirField = viewer.page()->findChild<QQuickItem*>("targetDirField");
        QTRY_COMPARE(dirField->property("text").toString(), "/srv/backup/video");
        const auto* statusLine
            = viewer.view()->rootObject()->findChild<QQuickItem*>("viewerStatusLine");
        QVERIFY(statusLine->property("text").toString().contains(data.path()));
        QCOMPARE(statusLine->property("textFormat").toInt(), 0); // Text.PlainText

        const QString path = QDir(data.path()).filePath(picture);
        if (exitCode != 0)
            QTest::ignoreMessage(QtWarningMsg, qPrintable("could not save the page to " + path));
        viewer.takeScreenshot(path, 15000);
        QCOMPARE(QGuiApplication::exec(), exitCode);
        QCOMPARE(!QImage(path).isNull(), exitCode == 0);
    }

    void refusesToStart_data()
    {
        QTest::addColumn<QByteArray>("file"); // the data file's bytes
        QTest::addColumn<QString>("plugins");
        QTest::addColumn<QString>("named"); // in the error
        QTest::newRow("a damaged data file is named")
            << QByteArray("<ScheduleBackupData><Tmcard>") << PluginDir << DataFile;
        QTest::newRow("a folder without the plug-in is named")
            << QByteArray() << QStringLiteral("/nonexistent/plugins") << "/nonexistent/plugins";
    }

    void refusesToStart()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, plugins);
        QFETCH(QString, named);
        const QTemporaryDir data;
        QFile damaged(QDir(data.path()).filePath(DataFile));
        QVERIFY(file.isEmpty()
                || (damaged.open(QIODevice::WriteOnly) && damaged.write(file) == file.size()));
        damaged.close();
        PageViewer viewer;
        const QString error = viewer.start({data.path(), plugins});
        QVERIFY2(error.contains(named), qPrintable(error));
        QVERIFY(!viewer.page());
        // A damaged file is left as it was.
        QVERIFY(file.isEmpty() || (damaged.open(QIODevice::ReadOnly) && damaged.readAll() == file));
    }

    // The embedded service's reasons reach the operator in the page's language.
    void programSpeaksTheUsersLanguage()
    {
        const QTemporaryDir data;
        QFile damaged(QDir(data.path()).filePath(DataFile));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("<broken") > 0);
        damaged.close();
        QProcess viewer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "de_DE.UTF-8");
        environment.insert("LANGUAGE", "de");
        viewer.setProcessEnvironment(environment);
        viewer.start(VIEWER_PROGRAM, {"--data", data.path()});
        QVERIFY(viewer.waitForFinished(30000));
        QCOMPARE(viewer.exitCode(), 1);
        const QString error = QString::fromUtf8(viewer.readAllStandardError());
        QVERIFY2(error.contains(u"ist beschädigt"), qPrintable(error));
    }
};

QTEST_MAIN(PageViewerTest)

#include "tst_pageviewer.moc"
