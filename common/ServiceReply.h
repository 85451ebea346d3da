// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>

// A backup service's answer to one command, as the host carries it back to the plug-in.
struct ServiceReply
{
    QString resultCode;
    QString xml;
    QString reason; // empty on success
    // Another program was saving, so nothing was done; asking again later may succeed.
    bool busy = false;
};
