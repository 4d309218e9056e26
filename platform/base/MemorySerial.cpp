#include "platform/base/MemorySerial.h"

#include <algorithm>

namespace plat {

std::vector<uint8_t> MemoryLine::TakeOutput(size_t max)
{
    size_t n = std::min(max, toFar.size());
    std::vector<uint8_t> out(toFar.begin(), toFar.begin() + static_cast<std::ptrdiff_t>(n));
    toFar.erase(toFar.begin(), toFar.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

namespace {

class MemoryPort : public SerialDevice {
public:
    explicit MemoryPort(MemoryLine& line) : m_line(line) {}
    ~MemoryPort() override { m_line.isOpen = false; }

    bool Configure(const SerialSettings& settings) override
    {
        if (m_line.failConfigure) return false;
        m_line.settings = settings;
        m_line.history.push_back(settings);
        return true;
    }
    bool Purge() override
    {
        if (m_line.failPurge) return false;
        ++m_line.purges;
        m_line.toFar.clear();
        m_line.toProgram.clear();
        return true;
    }
    int Read(void* buffer, int max) override
    {
        if (m_line.readError) return -1;
        int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(std::max(max, 0)), m_line.toProgram.size()));
        auto* out = static_cast<uint8_t*>(buffer);
        for (int i = 0; i < n; ++i) {
            out[i] = m_line.toProgram.front();
            m_line.toProgram.pop_front();
        }
        return n;
    }
    int Write(const void* bytes, int n) override
    {
        if (m_line.writeError) return -1;
        if (m_line.stallOutput || n <= 0) return 0;
        size_t room = m_line.outputCapacity > m_line.toFar.size() ? m_line.outputCapacity - m_line.toFar.size() : 0;
        int accepted = static_cast<int>(std::min<size_t>(room, static_cast<size_t>(n)));
        const auto* in = static_cast<const uint8_t*>(bytes);
        m_line.toFar.insert(m_line.toFar.end(), in, in + accepted);
        m_line.written.insert(m_line.written.end(), in, in + accepted);
        return accepted;
    }
    int InQueue() override { return static_cast<int>(m_line.toProgram.size()); }
    int OutQueue() override { return static_cast<int>(m_line.toFar.size()); }
    void Drain(uint32_t) override {}

private:
    MemoryLine& m_line;
};

} // namespace

std::unique_ptr<SerialDevice> MemorySerialPorts::Open(int portNumber, std::string* error)
{
    auto it = m_lines.find(portNumber);
    if (it == m_lines.end() || it->second.failOpen) {
        if (error) *error = it == m_lines.end() ? "No such file or directory" : it->second.openError;
        return nullptr;
    }
    MemoryLine& line = it->second;
    if (line.isOpen) {
        if (error) *error = "Device or resource busy";
        return nullptr;
    }
    line.isOpen = true;
    ++line.opens;
    return std::make_unique<MemoryPort>(line);
}

} // namespace plat
