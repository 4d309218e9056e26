#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace qmtest {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "qmtest-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::filesystem::path OutputDir()
{
    const char* env = std::getenv("QM_TEST_OUTPUT");
    std::filesystem::path dir = env ? env : "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace qmtest
