// SPDX-License-Identifier: BSD-3-Clause

#pragma once

class QString;
class QTranslator;

// Which language the front ends' messages are in, as other tools decide it: the first of
// LC_ALL, LC_MESSAGES and LANG that is set names the locale, and "C" or "POSIX" there means the
// untranslated English texts whatever LANGUAGE says. Otherwise Qt's system locale (LANGUAGE
// included) picks the catalogue.
namespace MessageLocale {

bool isUntranslated();

// Loads the catalogue `name` for the system locale from `folder` into `translator` and installs
// it, unless the messages stay untranslated or there is no such catalogue.
bool install(QTranslator* translator, const QString& name, const QString& folder);

// Call before the application object exists. Under a locale that is not UTF-8 (LC_ALL=C in a
// script) newer Qt switches itself to UTF-8 and says so in three lines on stderr, which would
// break the programs' promise of one line per error; that notice alone is dropped.
void dropQtLocaleNotice();

} // namespace MessageLocale
