// The main object's life: the overlays it opens, the images and parts it
// owns, the title, the image header check and the base behaviour of the
// virtual operations that the model replaces.
#include "ui/cuiMain.h"

#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "core/cmcTask.h"
#include "model/EepromMap.h"
#include "model/ListRows.h"
#include "model/datClipCh.h"
#include "model/indEnviron.h"
#include "platform/base/Fatal.h"
#include "platform/base/Folders.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/Segchar.h"
#include "ui/cuiMenu.h"
#include "ui/cuiPrinter.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetHost.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiTree.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr const char* LanguageListKey = "GI_Sys_Language";
// The language list is read up to its first '#' line, at most this many
// lines.
constexpr int LanguageLinesRead = 256;

} // namespace

cuiMain::cuiMain(std::string baseName, int imageSize, std::optional<std::string> programFolder)
    : m_baseName(std::move(baseName)), m_imageSize(imageSize), m_valueLabels(std::make_unique<cmcFCache>())
{
    if (programFolder) {
        m_programFolder = *programFolder;
        OpenOverlays(*programFolder);
        m_segchar = std::make_unique<Segchar>(g_GTex);
    }
    InitDefaultFolder();

    m_clipboard = std::make_unique<datClipCh>();
    m_previousClipboard = g_ClipCh;
    g_ClipCh = m_clipboard.get();

    m_current.Resize(m_imageSize);
    m_current.Fill(0);
    m_initial.Assign(m_current);

    m_tick = new cmcTask;
    m_tick->SetCallback([this](void*, cmcTask*) { OnTick(); }, nullptr);

    cuiSheetHost host;
    host.CustomerMode = [this] { return m_customerMode != 0; };
    host.ListPrinting = [this] { return m_listPrinting; };
    host.RowDeleteRunning = [] { return g_RowDeleteRunning != 0; };
    host.ApplicationInactive = [this] { return m_appInactive; };
    host.ClearApplicationInactive = [this] { m_appInactive = false; };
    m_sheetHost = std::make_unique<ScopedSheetHost>(std::move(host));

    m_events = cmcEvSubscription(MemberEventHandler<&cuiMain::OnEvent>(this));
    InitModelInfo();
}

cuiMain::~cuiMain()
{
    m_tick->Dispose();
    m_tick = nullptr;
    m_events.Reset();
    ReleaseWindowParts();
    g_ClipCh = m_previousClipboard;
    m_sheetHost.reset();
}

void cuiMain::OpenOverlays(const std::string& folder)
{
    g_GTexSys.OpenOverlayFile(folder + m_baseName + ".OVL");
    // The languages are the lines before the first '#' line; the stored
    // choice falls back to the first one when it names none of them.
    int count = 0;
    for (int n = 0; n < LanguageLinesRead; ++n) {
        const std::string line = g_GTexSys.GetText(LanguageListKey, n);
        if (!line.empty() && line[0] == '#') break;
        count = n + 1;
    }
    count = std::min(count, MaxLanguages);
    int language = g_Environ != nullptr ? g_Environ->Language : 0;
    if (language < 0 || language >= count) language = 0;
    if (g_Environ != nullptr) g_Environ->Language = language;

    const std::string entry = g_GTexSys.GetText(LanguageListKey, language);
    const size_t tab = entry.find('\t');
    const std::string languageFile = folder + (tab == std::string::npos ? std::string() : entry.substr(tab + 1));
    // Without a language there is no language file to open (the name would
    // be the folder itself).
    if (count == 0) plat::Fatal("Cannot open '" + languageFile + "'.");
    g_GTex.OpenOverlayFile(languageFile);
    g_GTexHelp.OpenOverlayFile(folder + m_baseName + "H.OVL");
}

void cuiMain::ReleaseWindowParts()
{
    m_printer.reset();
    if (m_currentSheet != nullptr) CloseSheet();
    m_ownedSheet.reset();
    if (m_tree != nullptr) delete m_tree; // forgets itself through OnDestroyed
    m_toolBar.reset();
    m_menu.reset();
    m_mainMenu = nullptr;
    m_leftPanel = nullptr;
    m_rightPanel = nullptr;
    m_splitter = nullptr;
    m_statusBar = nullptr;
    m_mainForm = nullptr;
}

void cuiMain::InitModelInfo()
{
    m_modelCode = 0;
    m_subCode = 0;
}

void cuiMain::InitDefaultFolder()
{
    m_folder = g_Environ != nullptr ? g_Environ->CurrentDirectory : std::string();
    if (m_folder.empty()) m_folder = plat::DocumentsFolder();
    if (m_folder.empty()) m_folder = plat::CurrentDirectory();
}

std::string cuiMain::FilePath() const
{
    if (!m_fileName.empty()) return m_fileName;
    std::string path = m_folder;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    return path + UntitledName;
}

void cuiMain::SetFileName(const std::string& path)
{
    m_fileName = path;
    UpdateTitle();
}

bool cuiMain::UpdateModified()
{
    if (!m_modified && m_current.Differs(m_saved)) MarkModified();
    return m_modified;
}

void cuiMain::MarkModified()
{
    m_modified = true;
    UpdateTitle();
}

void cuiMain::MarkSaved()
{
    m_saved.Assign(m_current);
    m_modified = false;
    UpdateTitle();
}

void cuiMain::UpdateTitle()
{
    m_title = plat::FileNameOf(FilePath()) + " - " + g_GTex.GetText("GI_Sys_AppTitle", 0);
    if (m_mainForm) {
        m_mainForm->SetCaption(m_title);
        plat::SetApplicationTitle(m_title);
    }
}

void cuiMain::CopyCloneArea(cmcEeprom* target, const cmcEeprom* source)
{
    if (target == nullptr || source == nullptr) return;
    const int size = std::min({EepromMap::CloneSize, target->Size(), source->Size()});
    if (size > 0) std::memcpy(target->Data(), source->Data(), size_t(size));
}

void cuiMain::ScheduleCheck()
{
    if (!m_checkDelay) m_checkDelay = std::make_unique<cmcTick>();
    m_checkDelay->Start(CheckDelayMs);
}

uint32_t cuiMain::CheckDelayRemaining() const
{
    return m_checkDelay ? m_checkDelay->Remaining() : 0;
}

bool cuiMain::TakeExpiredCheck()
{
    if (!m_checkDelay || m_checkDelay->Remaining() != 0) return false;
    m_checkDelay.reset();
    return true;
}

void cuiMain::SetIdentity(int modelCode, int subCode, const uint8_t* payload, int length)
{
    m_identityBytes = {uint8_t((modelCode >> 8) & 0xFF), uint8_t(modelCode & 0xFF), uint8_t((subCode >> 8) & 0xFF),
                       uint8_t(subCode & 0xFF)};
    m_identityPayload.fill(0);
    if (payload && length > 0)
        std::memcpy(m_identityPayload.data(), payload, size_t(std::min(length, IdentityPayloadSize)));
    m_identified = true;
}

bool cuiMain::TickRunning() const { return m_tick != nullptr && !m_tick->IsStopped(); }

// ---- The base behaviour of the virtual operations ----------------------------

int cuiMain::CheckImageHeader(const cmcEeprom& image, bool checkMarkers)
{
    return CheckCloneImageHeader(image, checkMarkers);
}

bool cuiMain::CheckNewerData(const cmcEeprom&) { return false; }

void cuiMain::AfterImageLoaded(cmcEeprom&) {}

void cuiMain::BeforeImageSaved(cmcEeprom&, int) {}

void cuiMain::PrepareImageForOutput(cmcEeprom&, int, int) {}

void cuiMain::BeforeCloneWrite(cmcEeprom&) {}

bool cuiMain::CheckOldData(const cmcEeprom&) { return false; }

bool cuiMain::CheckModelCode(int model, int sub, int* error)
{
    if (model == m_modelCode && sub == m_subCode) return true;
    if (error != nullptr) *error = model != m_modelCode ? kIcfModel : kIcfExtra;
    return false;
}

std::vector<dst_AdrRange> cuiMain::AddressRanges(int)
{
    return {{0, EepromMap::CloneLast}, {1, 0}};
}

void cuiMain::OnFormKeyPress(char32_t&) {}

void cuiMain::OnStatusBarResize() {}
