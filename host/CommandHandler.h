// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "ServiceReply.h"

#include <QString>
#include <QVariant>

#include <functional>

// The back end behind the host's framework: it takes the plug-ins' commands and answers them.
class CommandHandler
{
public:
    using Answer = std::function<void(const ServiceReply& reply)>;

    virtual ~CommandHandler() = default;

    // Takes one command. False refuses it and `answer` is dropped; otherwise `answer` is called
    // later from the event loop, never inside this call.
    virtual bool submit(const QString& command, const QVariant& arguments, Answer answer) = 0;

    // Why the oldest command has not been answered yet, when something other than the network
    // holds it up; empty otherwise.
    virtual QString waitReason() const { return QString(); }
};
