#include "TraceSink.h"

#include <cerrno>
#include <cstring>
#include <ctime>

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
    // Append so that several processes, or several runs, can share one file.
    if (std::FILE* file = std::fopen(config.filePath.c_str(), "ae")) {
        m_stream = file;
        m_ownsStream = true;
    } else {
        std::fprintf(stderr, "ZeltLogUtl: cannot open %s (%s), tracing to standard error\n",
                     config.filePath.c_str(), std::strerror(errno));
    }
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
    std::fwrite(line.data(), 1, line.size(), m_stream);
    std::fflush(m_stream);
}

} // namespace zeltlog
