// SPDX-License-Identifier: BSD-3-Clause

#include "MessageLocale.h"

#include <QByteArray>
#include <QtGlobal>

bool MessageLocale::isUntranslated()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value == "C" || value == "POSIX";
    }
    return false;
}
