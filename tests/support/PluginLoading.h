// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>

class QObject;
class PluginBase;

namespace PluginLoading {

// Loads the built plug-in with QPluginLoader as a host does and returns its instance, or null
// after a failed QVERIFY-style check (the caller's test has then already failed).
QObject* instance();
PluginBase* base();
QString errorString();

// Deletes the current instance so that the next call of instance() creates a fresh one.
void resetInstance();

} // namespace PluginLoading
