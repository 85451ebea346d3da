// SPDX-License-Identifier: BSD-3-Clause

#pragma once

// Exit codes of schedule-backup-host and schedule-backup-page.
namespace ExitCode {
constexpr int Success = 0;
constexpr int HostFailure = 1; // data folder or plug-in unusable
constexpr int BadOptions = 2;
constexpr int Refused = 3; // the plug-in did not send the request
constexpr int Failed = 4; // the reply reported a failure
constexpr int TimedOut = 5; // no reply in time
} // namespace ExitCode
