#include "TraceSink.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
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

} // namespace

TraceSink::TraceSink(const TraceConfig& config) : m_threshold(config.threshold)
{
    if (config.filePath.empty())
        return;
    m_path = config.filePath;
    // Append so that several processes, or several runs, can share one file. Never block: a FIFO
    // without a reader would otherwise hang the host at load, and a stalled one at every line.
    const int fd = ::open(config.filePath.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "a") : nullptr;
    if (file != nullptr) {
        m_stream = file;
        m_ownsStream = true;
        return;
    }
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    std::fprintf(stderr, "ZeltLogUtl: cannot open %s (%s), tracing to standard error\n",
                 config.filePath.c_str(), std::strerror(error));
    m_path.clear();
}

TraceSink::~TraceSink()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ownsStream)
        std::fclose(m_stream);
    else
        std::fflush(m_stream);
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
    const bool written = std::fwrite(line.data(), 1, line.size(), m_stream) == line.size()
        && std::fflush(m_stream) == 0;
    if (!written && !m_writeFailureReported) {
        // Once is enough to tell that lines are lost; every line would drown standard error.
        m_writeFailureReported = true;
        std::fprintf(stderr, "ZeltLogUtl: cannot write to %s (%s), trace lines are lost\n",
                     m_path.empty() ? "the trace output" : m_path.c_str(), std::strerror(errno));
        std::clearerr(m_stream);
    }
}

} // namespace zeltlog
