// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <csignal>
#include <sys/resource.h>

// Lowers this process's file size limit (RLIMIT_FSIZE) while it lives, so that any write past
// `bytes` fails for real with EFBIG, and restores the limit afterwards. SIGXFSZ is ignored
// meanwhile: the failing write then returns an error instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0 || m_saved.rlim_cur < bytes)
            return;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }

    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        if (m_previousHandler != SIG_ERR)
            std::signal(SIGXFSZ, m_previousHandler);
    }

    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False when the limit could not be lowered; the caller should skip.
    bool isActive() const { return m_active; }

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = SIG_ERR;
    bool m_active = false;
};
