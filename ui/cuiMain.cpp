#include "ui/cuiMain.h"

#include "core/cmcGTex.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <cstring>
#include <utility>

cuiMain::cuiMain(std::string baseName, int imageSize)
    : m_baseName(std::move(baseName)), m_imageSize(imageSize), m_valueLabels(std::make_unique<cmcFCache>())
{
    m_current.Resize(m_imageSize);
    m_current.Fill(0);
    m_initial.Assign(m_current);
    InitModelInfo();
}

cuiMain::~cuiMain() = default;

void cuiMain::InitModelInfo()
{
    m_modelCode = 0;
    m_subCode = 0;
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
    const std::string path = FilePath();
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    m_title = name + " - " + g_GTex.GetText("GI_Sys_AppTitle", 0);
    if (m_mainForm) {
        m_mainForm->SetCaption(m_title);
        plat::SetApplicationTitle(m_title);
    }
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
