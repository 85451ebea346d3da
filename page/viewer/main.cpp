// SPDX-License-Identifier: BSD-3-Clause

#include "ExitCodes.h"
#include "HostOptions.h"
#include "MessageLocale.h"
#include "PageViewer.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTextStream>
#include <QTranslator>

namespace {

constexpr int ScreenshotTimeoutMs = 15000;

struct ViewerOptions
{
    HostOptions host;
    QString screenshot;
};

// `arguments` as HostOptionSet::arguments() gives them, so that the data folder keeps its bytes.
bool parseOptions(const QStringList& arguments, ViewerOptions* options, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main",
                                    "Shows the scheduled-backup settings page against the "
                                    "embedded backup service."));
    parser.addHelpOption();
    parser.addVersionOption();
    const HostOptionSet hostOptions;
    hostOptions.addTo(&parser);
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QCoreApplication::translate("main",
                                    "Save a PNG of the page once the settings are loaded, then "
                                    "quit."),
        QCoreApplication::translate("main", "file"));
    parser.addOption(screenshot);
    parser.process(arguments);

    if (!hostOptions.read(parser, &options->host, error))
        return false;
    if (!parser.positionalArguments().isEmpty()) {
        *error = QCoreApplication::translate("main", "unexpected argument \"%1\"")
                     .arg(parser.positionalArguments().first());
        return false;
    }
    options->screenshot = parser.value(screenshot);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // The plug-in reads its trace settings when it is loaded; keep the viewer quiet by default.
    if (!qEnvironmentVariableIsSet("ZELT_LOG_LEVEL"))
        qputenv("ZELT_LOG_LEVEL", "0");

    MessageLocale::dropQtLocaleNotice();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("schedule-backup-page"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SCHEDULE_BACKUP_VERSION));
    QTextStream err(stderr);

    // The page and the viewer speak the language of the system locale (LANG, LANGUAGE) when
    // there is a translation for it and the locale is not C; dates and numbers follow the same
    // locale. The page's catalogue comes with its module; the embedded service's reasons are in
    // the command-line host's catalogue beside the programs, Qt's own in Qt's.
    QTranslator pageMessages, serviceMessages, qtMessages;
    MessageLocale::install(&pageMessages, QStringLiteral("schedulebackup"),
                           PageViewer::qmlImportPath()
                               + QStringLiteral("/ScheduleBackup/Page/i18n"));
    MessageLocale::install(&serviceMessages, QStringLiteral("schedule-backup-host"),
                           QCoreApplication::applicationDirPath()
                               + QStringLiteral("/" SCHEDULE_BACKUP_TRANSLATIONS_FROM_BIN));
    MessageLocale::install(&qtMessages, QStringLiteral("qtbase"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));

    ViewerOptions options;
    QString error;
    if (!parseOptions(HostOptionSet::arguments(argc, argv), &options, &error)) {
        err << "schedule-backup-page: "
            << QCoreApplication::translate("main", "%1 (see --help)").arg(error) << Qt::endl;
        return ExitCode::BadOptions;
    }

    if (!qEnvironmentVariableIsSet("QT_QUICK_CONTROLS_STYLE"))
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
    // Without a display there is no GPU context to read back from; the software renderer
    // renders the same page into memory.
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("minimal");
    if (headless && !qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    PageViewer viewer;
    error = viewer.start(options.host);
    if (!error.isEmpty()) {
        err << "schedule-backup-page: " << error << Qt::endl;
        return ExitCode::HostFailure;
    }
    viewer.show();
    if (!options.screenshot.isEmpty())
        viewer.takeScreenshot(options.screenshot, ScreenshotTimeoutMs + options.host.latencyMs);
    return app.exec();
}
