// SPDX-License-Identifier: BSD-3-Clause

#include "MessageLocale.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>

namespace {

QtMessageHandler previousHandler = nullptr;

void dropLocaleNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Detected locale \"")))
        return;
    previousHandler(type, context, message);
}

} // namespace

void MessageLocale::dropQtLocaleNotice()
{
    previousHandler = qInstallMessageHandler(dropLocaleNotice);
}

bool MessageLocale::isUntranslated()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value == "C" || value == "POSIX";
    }
    return false;
}

bool MessageLocale::install(QTranslator* translator, const QString& name, const QString& folder)
{
    if (isUntranslated() || !translator->load(QLocale(), name, QStringLiteral("_"), folder))
        return false;
    return QCoreApplication::installTranslator(translator);
}
