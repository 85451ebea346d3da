// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QtGlobal>

#include <atomic>

// Numbers every undo step of the page's editors in the order the edits were made, so that the
// page can undo the newest edit whichever editor holds it.
inline int nextEditSerial()
{
    static std::atomic<int> serial {0};
    return ++serial;
}
