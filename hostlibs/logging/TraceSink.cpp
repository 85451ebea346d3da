// SPDX-License-Identifier: BSD-3-Clause

#include "TraceSink.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace zeltlog {

namespace {

std::string timestampNow()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local {};
    localtime_r(&now.tv_sec, &local);
    char buffer[40];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(buffer + length, sizeof buffer - length, ".%03ld", now.tv_nsec / 1000000L);
    return buffer;
}

const char* baseName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// Writes all of `text`, or fails with errno set. A pipe or FIFO whose reader has gone must not
// kill the host with SIGPIPE, and how the host handles that signal is its own business. So the
// signal is blocked on this thread for the write only, and one that the write raised is taken
// back before it is unblocked; one that was already pending stays pending.
bool writeAll(int fd, const std::string& text)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    sigset_t pending;
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;

    int error = 0;
    for (std::size_t done = 0; done < text.size() && error == 0;) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written >= 0)
            done += static_cast<std::size_t>(written);
        else if (errno != EINTR)
            error = errno;
    }
    if (error == EPIPE && !wasPending) {
        const timespec noWait {};
        while (sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    errno = error;
    return error == 0;
}

std::string notice(const char* what, const std::string& path, int error)
{
    return "ZeltLogUtl: cannot " + std::string(what) + ' ' + path + " (" + std::strerror(error)
        + "), tracing to standard error\n";
}

} // namespace

TraceSink::TraceSink(const TraceConfig& config) : m_threshold(config.threshold), m_fd(STDERR_FILENO)
{
    if (config.filePath.empty())
        return;
    // Append so that several processes, or several runs, can share one file. Never block: a FIFO
    // without a reader would otherwise hang the host at load, and a stalled one at every line.
    const int fd = ::open(config.filePath.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        writeAll(STDERR_FILENO, notice("open", config.filePath, errno));
        return;
    }
    m_fd = fd;
    m_path = config.filePath;
}

TraceSink::~TraceSink()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_path.empty())
        ::close(m_fd);
}

int TraceSink::registerModule(const char* name)
{
    const std::string key = name != nullptr ? name : "";
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (std::size_t i = 0; i < m_moduleNames.size(); ++i) {
        if (m_moduleNames[i] == key)
            return static_cast<int>(i) + 1;
    }
    m_moduleNames.push_back(key);
    return static_cast<int>(m_moduleNames.size());
}

std::string TraceSink::moduleLabelLocked(int moduleId) const
{
    if (moduleId > 0 && static_cast<std::size_t>(moduleId) <= m_moduleNames.size()
        && !m_moduleNames[moduleId - 1].empty())
        return m_moduleNames[moduleId - 1];
    return std::to_string(moduleId);
}

void TraceSink::write(const PassedLine& passed, const std::string& text)
{
    // Built outside the lock except for the module name, then written in one piece so that lines
    // of concurrent threads never interleave.
    std::string line = timestampNow();
    line += ' ';
    const std::size_t moduleAt = line.size();
    line += passed.known ? std::to_string(passed.level) : std::string("-");
    line += ' ';
    line += text;
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    if (passed.known && passed.sourceFile != nullptr && passed.line > 0) {
        line += " [";
        line += baseName(passed.sourceFile);
        line += ':';
        line += std::to_string(passed.line);
        line += ']';
    }
    line += '\n';

    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string module = passed.known ? moduleLabelLocked(passed.moduleId) : "-";
    line.insert(moduleAt, module + ' ');
    writeLocked(line);
}

void TraceSink::writeLocked(const std::string& line)
{
    if (writeAll(m_fd, line) || m_path.empty())
        return; // standard error that fails leaves nowhere to say so
    // The file is given up at its first failure (a FIFO whose reader has gone never takes a line
    // again), with one notice; this line and all later ones go to standard error.
    const std::string failed = notice("write to", m_path, errno);
    ::close(m_fd);
    m_fd = STDERR_FILENO;
    m_path.clear();
    writeAll(m_fd, failed + line);
}

} // namespace zeltlog
