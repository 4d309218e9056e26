#include "model/indEnviron.h"

#include "core/TextFunctions.h"
#include "platform/base/Fatal.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <optional>

indEnviron* g_Environ = nullptr;

namespace {

const char* const SecGlobal = "Global";
const char* const SecRecent = "Recent File List";
const char* const SecView = "View Option";
const char* const SecWindow = "Window Position";
const char* const SecSetup = "Setup";
const char* const SecEditForm = "EditForm Position";
const char* const SecPassword = "Password";

const char* const DefaultMakerWord = "marlock";
const char* const FixedCustomerWord = "corvel";

const char* const EditFormValues[5] = {"Left", "Top", "Width", "Height", "WindowState"};

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

std::string RecentName(int i) { return "Recent" + std::to_string(i); }

std::string EditFormValueName(const std::string& window, int i) { return window + "_" + EditFormValues[i]; }

// The maker word of its stored form: upper-case hexadecimal digits, two per
// character, "00" for the empty word. A missing, empty or malformed value
// gives the default word.
std::string MakerWordOf(const std::optional<std::string>& stored)
{
    if (!stored || stored->empty()) return DefaultMakerWord;
    if (*stored == "00") return {};
    std::optional<std::string> word = HexToString(*stored);
    if (!word || word->find('\0') != std::string::npos) return DefaultMakerWord;
    return *word;
}

std::string StoredMakerWord(const std::string& word) { return word.empty() ? std::string("00") : StringToHex(word); }

void ShowRefusal()
{
    plat::MessageBox(indEnviron::RefusalText, plat::ProgramFileName(), plat::MB_OK | plat::MB_ICONERROR);
}

} // namespace

indEnviron::indEnviron(const std::string& mutexName, const std::string& settingsKey, int screenWidth,
                       int screenHeight)
    : m_mutexName(mutexName), m_settingsKey(settingsKey), m_screenWidth(screenWidth), m_screenHeight(screenHeight),
      m_store(settingsKey)
{
    PriorityRemoval = 1;
    RotaryLimit = 1;
    KeyCRemoval = 0;

    m_instance = std::make_unique<plat::SingleInstance>(mutexName);
    switch (m_instance->GetState()) {
    case plat::SingleInstance::State::Held:
        m_startAllowed = true;
        break;
    case plat::SingleInstance::State::Unavailable:
        // Refusing here would lock the user out for a reason that has
        // nothing to do with a second instance.
        std::fprintf(stderr, "%s: cannot create the instance lock %s; starting without the single-instance check\n",
                     plat::ProgramFileName().c_str(), m_instance->LockPath().c_str());
        m_startAllowed = true;
        break;
    case plat::SingleInstance::State::HeldElsewhere:
        m_startAllowed = false;
        break;
    }
    if (!m_startAllowed) {
        ShowRefusal();
        return;
    }
    m_store.Load();
    Load();
    if (BBT != ValidMarker) SetDefaults();
}

indEnviron::~indEnviron()
{
    if (m_startAllowed && BBT == ValidMarker) Save();
}

void indEnviron::Load()
{
    if (!LoadValues()) SetDefaults();
}

bool indEnviron::LoadValues()
{
    auto readInt = [this](const char* section, const std::string& name, int32_t& out) {
        std::optional<int32_t> v = m_store.ReadInt(section, name);
        if (!v) return false;
        out = *v;
        return true;
    };
    auto readText = [this](const char* section, const std::string& name) {
        return m_store.ReadText(section, name).value_or(std::string());
    };

    if (!readInt(SecGlobal, "BBT", BBT)) return false;
    if (!readInt(SecGlobal, "ComPort", ComPort)) return false;
    ComPort = Clamp(ComPort, 1, 256);
    if (!readInt(SecGlobal, "ComSpeedHigh", ComSpeedHigh)) return false;
    ComSpeedHigh = Clamp(ComSpeedHigh, 0, 1);
    CurrentDirectory = readText(SecGlobal, "Current Directory");

    RecentFiles.Clear();
    for (int i = 0; i < RecentCapacity; ++i) {
        // Save writes empty texts for the unused places; they are no files.
        std::string path = readText(SecRecent, RecentName(i));
        if (!path.empty()) RecentFiles.AddBack(path);
    }

    if (!readInt(SecView, "FontSize Percentage", FontSizePercentage)) return false;
    FontSizePercentage = Clamp(FontSizePercentage, 25, 1000);
    if (!readInt(SecView, "Toolbar Visible", ToolbarVisible)) return false;
    ToolbarVisible = ToolbarVisible != 0 ? 1 : 0;
    if (!readInt(SecView, "FontSize Printer", FontSizePrinter)) return false;
    FontSizePrinter = Clamp(FontSizePrinter, 8, 12);
    if (!readInt(SecView, "ViewType", ViewType)) return false;
    ViewType = Clamp(ViewType, 0, 1);

    if (!readInt(SecWindow, "Left", Left)) return false;
    if (!readInt(SecWindow, "Top", Top)) return false;
    if (!readInt(SecWindow, "Width", Width)) return false;
    if (!readInt(SecWindow, "Height", Height)) return false;
    if (!readInt(SecWindow, "SplitterV", SplitterV)) return false;

    if (!readInt(SecSetup, "ModelType", ModelType)) return false;
    if (!readInt(SecSetup, "Language", Language)) return false;
    // Indexes at or above the language count are reset once the list is
    // known; a negative one can be reset at once.
    if (Language < 0) Language = 0;

    MakerWord = MakerWordOf(m_store.ReadText(SecPassword, "MakerMarlockMode"));
    CustomerWord = FixedCustomerWord;
    return true;
}

void indEnviron::SetDefaults()
{
    ComPort = 1;
    ComSpeedHigh = 1;
    BBT = ValidMarker;
    CurrentDirectory.clear();
    ClonePassword.clear();
    RecentFiles.Clear();
    FontSizePercentage = 100;
    ToolbarVisible = 1;
    FontSizePrinter = 10;
    Width = std::min(static_cast<int32_t>(m_screenWidth * 0.9), 800);
    Height = std::min(static_cast<int32_t>(m_screenHeight * 0.9), 600);
    Left = (m_screenWidth - Width) / 2;
    Top = static_cast<int32_t>((m_screenHeight - Height) * 0.3);
    SplitterV = DefaultSplitterV;
    ModelType = 0;
    Language = 0;
    MakerWord = DefaultMakerWord;
    CustomerWord = FixedCustomerWord;
}

void indEnviron::Save()
{
    m_store.WriteInt(SecGlobal, "BBT", BBT);
    m_store.WriteInt(SecGlobal, "ComPort", ComPort);
    m_store.WriteInt(SecGlobal, "ComSpeedHigh", ComSpeedHigh);
    m_store.WriteText(SecGlobal, "Current Directory", CurrentDirectory);

    for (int i = 0; i < RecentCapacity; ++i) m_store.WriteText(SecRecent, RecentName(i), RecentFiles.Path(i));

    m_store.WriteInt(SecView, "FontSize Percentage", FontSizePercentage);
    m_store.WriteInt(SecView, "Toolbar Visible", ToolbarVisible);
    m_store.WriteInt(SecView, "FontSize Printer", FontSizePrinter);
    m_store.WriteInt(SecView, "ViewType", ViewType);

    m_store.WriteInt(SecWindow, "Left", Left);
    m_store.WriteInt(SecWindow, "Top", Top);
    m_store.WriteInt(SecWindow, "Width", Width);
    m_store.WriteInt(SecWindow, "Height", Height);
    m_store.WriteInt(SecWindow, "SplitterV", SplitterV);

    m_store.WriteInt(SecSetup, "ModelType", ModelType);
    for (const dst_EditFormPos& p : m_editForms) {
        const int32_t values[5] = {p.Left, p.Top, p.Width, p.Height, p.WindowState};
        for (int i = 0; i < 5; ++i) m_store.WriteInt(SecEditForm, EditFormValueName(p.Name, i), values[i]);
    }
    m_store.WriteInt(SecSetup, "Language", Language);
    m_store.WriteText(SecPassword, "MakerMarlockMode", StoredMakerWord(MakerWord));

    // The file is replaced as a whole: when that fails, the previous
    // settings stay as they were.
    m_store.Save();
}

dst_EditFormPos* indEnviron::FindEditForm(const std::string& name)
{
    for (dst_EditFormPos& p : m_editForms)
        if (p.Name == name) return &p;
    if (BBT != ValidMarker) return nullptr;

    int32_t values[5];
    for (int i = 0; i < 5; ++i) {
        std::optional<int32_t> v = m_store.ReadInt(SecEditForm, EditFormValueName(name, i));
        if (!v) return nullptr;
        values[i] = *v;
    }
    dst_EditFormPos p;
    p.Name = name;
    p.Left = values[0];
    p.Top = values[1];
    p.Width = values[2];
    p.Height = values[3];
    p.WindowState = values[4];
    m_editForms.push_front(std::move(p));
    return &m_editForms.front();
}

dst_EditFormPos* indEnviron::SetEditFormPosition(const std::string& name, int32_t left, int32_t top, int32_t width,
                                                 int32_t height, int32_t gridCol, int32_t gridRow, int32_t leftCol,
                                                 int32_t topRow, int32_t windowState, int32_t open)
{
    auto it = std::find_if(m_editForms.begin(), m_editForms.end(),
                           [&](const dst_EditFormPos& p) { return p.Name == name; });
    if (it == m_editForms.end()) {
        dst_EditFormPos fresh;
        fresh.Name = name;
        m_editForms.push_front(std::move(fresh));
    } else {
        m_editForms.splice(m_editForms.begin(), m_editForms, it);
    }
    dst_EditFormPos& p = m_editForms.front();
    p.Left = left;
    p.Top = top;
    p.Width = width;
    p.Height = height;
    p.GridCol = gridCol;
    p.GridRow = gridRow;
    p.LeftCol = leftCol;
    p.TopRow = topRow;
    p.WindowState = windowState;
    p.Open = open;
    return &p;
}

int32_t indEnviron::ReadInteger(const std::string& key, const std::string& valueName) const
{
    std::optional<std::string> section = m_store.SectionOf(key);
    if (!section) return -1;
    return m_store.ReadInt(*section, valueName).value_or(-1);
}

void indEnviron::WriteInteger(const std::string& key, int32_t value, const std::string& valueName)
{
    std::optional<std::string> section = m_store.SectionOf(key);
    if (section) m_store.WriteInt(*section, valueName, value);
}

void indEnviron::DeleteKey(const std::string& key, const std::string& subkey)
{
    std::optional<std::string> section = m_store.SectionOf(key);
    if (!section || subkey.empty()) return;
    m_store.DeleteSection(section->empty() ? subkey : *section + "\\" + subkey);
}

indEnvironHolder::indEnvironHolder(int screenWidth, int screenHeight)
    : m_environ(std::make_unique<indEnviron>(indEnviron::MutexName, indEnviron::SettingsKeyName, screenWidth,
                                             screenHeight)),
      m_previous(g_Environ)
{
    g_Environ = m_environ.get();
}

indEnvironHolder::~indEnvironHolder()
{
    g_Environ = m_previous;
    m_environ.reset();
}
