// Build-time generator of the flash loader's embedded stand-in data.
//
//   gen_flash_data bins LAYOUT OUTDIR
//       Reads the layout (data/flash/standin.txt) and writes into OUTDIR the
//       pre-process block (preprocess.bin), one binary file per programmed
//       region (standin<N>.bin) and their list (regions.txt: file and
//       address a line), from which objcopy makes one S-record file each.
//   gen_flash_data embed OUTDIR OUTPUT
//       Merges the S-record files of the list into one table (the first
//       header, the data records in order, the last end record), checks every
//       line, and writes OUTPUT: a C++ source with the pre-process block and
//       the table.
//
// Everything is deterministic: the same layout gives the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr size_t kPreProcessLength = 3884;
constexpr size_t kMaxLineLength = 44;
constexpr uint32_t kFlashSize = 0x80000;

[[noreturn]] void Fail(const std::string& message)
{
    std::cerr << "gen_flash_data: " << message << "\n";
    std::exit(1);
}

// xorshift32: a fixed, portable pseudo-random stream.
class Stream {
public:
    explicit Stream(uint32_t seed) : m_state(seed != 0 ? seed : 0x1234567u) {}
    uint8_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<uint8_t>(m_state >> 24);
    }

private:
    uint32_t m_state;
};

uint32_t Number(const std::string& text, const std::string& what)
{
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || value > 0xFFFFFFFFul) Fail("bad " + what + ": '" + text + "'");
    return static_cast<uint32_t>(value);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("cannot write " + path);
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Bins(const std::string& layoutPath, const std::string& outDir)
{
    std::ifstream layout(layoutPath);
    if (!layout) Fail("cannot read " + layoutPath);
    std::ostringstream list;
    bool havePreProcess = false;
    int regions = 0;
    uint32_t nextFree = 0;
    std::string line;
    for (int number = 1; std::getline(layout, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#') continue;
        std::string a, b, c, extra;
        words >> a >> b >> c >> extra;
        const std::string where = layoutPath + ":" + std::to_string(number);
        if (kind == "preprocess" && !b.empty() && c.empty()) {
            if (Number(a, "length") != kPreProcessLength) Fail(where + ": the pre-process block has 3884 bytes");
            static const char header[] = "STAND-IN PRE-PROCESS BLOCK";
            std::vector<uint8_t> bytes(header, header + sizeof header); // with its NUL
            for (int v = 0; v < 256; ++v) bytes.push_back(static_cast<uint8_t>(v));
            Stream stream(Number(b, "seed"));
            while (bytes.size() < kPreProcessLength) bytes.push_back(stream.Next());
            WriteBytes(outDir + "/preprocess.bin", bytes);
            havePreProcess = true;
        } else if (kind == "region" && !c.empty() && extra.empty()) {
            uint32_t address = Number(a, "address");
            uint32_t length = Number(b, "length");
            if (length == 0 || address < nextFree || address > kFlashSize || length > kFlashSize - address)
                Fail(where + ": regions lie inside the flash, in order, without overlap");
            std::vector<uint8_t> bytes(length, 0xFF);
            if (c != "blank") {
                Stream stream(Number(c, "seed"));
                for (auto& byte : bytes) byte = stream.Next();
            }
            std::string name = "standin" + std::to_string(regions++);
            WriteBytes(outDir + "/" + name + ".bin", bytes);
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%05X", address);
            list << name << " " << hex << "\n";
            nextFree = address + length;
        } else {
            Fail(where + ": not a layout line");
        }
    }
    if (!havePreProcess || regions == 0) Fail(layoutPath + ": needs a preprocess line and at least one region");
    std::ofstream out(outDir + "/regions.txt", std::ios::trunc);
    out << list.str();
    if (!out) Fail("cannot write the region list");
    return 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A line the flash loader can read: S0 to S9 but S4, uppercase hexadecimal,
// a count that matches the line, a correct checksum, at most 44 characters.
void CheckLine(const std::string& line, const std::string& where)
{
    if (line.size() > kMaxLineLength) Fail(where + ": longer than 44 characters: " + line);
    if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9' || line[1] == '4' || line.size() % 2 != 0)
        Fail(where + ": not an S-record: " + line);
    unsigned sum = 0;
    std::vector<int> bytes;
    for (size_t i = 2; i < line.size(); i += 2) {
        int hi = HexDigit(line[i]), lo = HexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) Fail(where + ": not uppercase hexadecimal: " + line);
        bytes.push_back(hi << 4 | lo);
        sum += static_cast<unsigned>(hi << 4 | lo);
    }
    if (static_cast<size_t>(bytes[0]) + 1 != bytes.size()) Fail(where + ": wrong count: " + line);
    if ((sum & 0xFF) != 0xFF) Fail(where + ": wrong checksum: " + line);
}

int Embed(const std::string& dir, const std::string& outputPath)
{
    std::vector<uint8_t> pre = ReadBytes(dir + "/preprocess.bin");
    if (pre.size() != kPreProcessLength) Fail("the pre-process block has " + std::to_string(pre.size()) + " bytes");

    std::ifstream list(dir + "/regions.txt");
    if (!list) Fail("cannot read the region list");
    std::vector<std::string> header, records, end;
    std::string name, address;
    while (list >> name >> address) {
        std::ifstream srec(dir + "/" + name + ".srec");
        if (!srec) Fail("cannot read " + name + ".srec");
        std::string line;
        std::vector<std::string> ends;
        for (int number = 1; std::getline(srec, line); ++number) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            CheckLine(line, name + ".srec:" + std::to_string(number));
            switch (line[1]) {
            case '0':
                if (header.empty()) header.push_back(line);
                break;
            case '1': case '2': case '3':
                records.push_back(line);
                break;
            case '7': case '8': case '9':
                ends.assign(1, line);
                break;
            default: // counts do not survive the merge
                break;
            }
        }
        end = ends;
    }
    if (records.empty()) Fail("no data records");

    std::ofstream out(outputPath, std::ios::trunc);
    out << "// Generated by gen_flash_data from the stand-in layout; do not edit.\n"
           "#include \"flashloader/FlashData.h\"\n\nnamespace fl {\n\n"
           "const uint8_t g_PreProcessBlock[kPreProcessLength] = {\n";
    for (size_t i = 0; i < pre.size(); ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X,", pre[i]);
        out << (i % 12 == 0 ? "    " : " ") << hex << (i % 12 == 11 || i + 1 == pre.size() ? "\n" : "");
    }
    out << "};\n\nconst char* const g_MotLines[] = {\n";
    for (const auto* group : {&header, &records, &end})
        for (const auto& line : *group) out << "    \"" << line << "\",\n";
    out << "    \"\",\n};\n\n} // namespace fl\n";
    if (!out) Fail("cannot write " + outputPath);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "bins") return Bins(args[1], args[2]);
    if (args.size() == 3 && args[0] == "embed") return Embed(args[1], args[2]);
    std::cerr << "usage: gen_flash_data bins LAYOUT OUTDIR | embed OUTDIR OUTPUT\n";
    return 2;
}
