// The clone commands of the main object: clone read, clone write and clone
// information, the checks of identity answers and read images, the radio's
// end address and the two password dialogs. The radio model's steps
// (password handling, version gates, packing for the radio) override the
// identify completions in indMain.
#include "ui/cuiInformation.h"
#include "ui/cuiLanguage.h"
#include "core/EventIds.h"
#include "core/cmcCloneDrv.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/indCloneMan.h"
#include "model/indEnviron.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiClonePasswordDialog.h"
#include "ui/cuiMain.h"
#include "ui/cuiReadWritePasswordDialog.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kModelMark[2] = {0x71, 0x43};
constexpr int kModelCodeA = 0x7143;
constexpr int kModelCodeB = 0x7148;

// Payload bits.
constexpr uint8_t kFixUpBit53 = 0x04;   // byte 53: copy 96-100 to 120-124 ...
constexpr uint8_t kFixUpBit52 = 0x40;   // ... together with byte 52 bit 6
constexpr int kFixUpFrom = 96;
constexpr int kFixUpTo = 120;
constexpr int kFixUpLength = 5;
constexpr int kFixUpVersionLow = 0x20;
constexpr int kFixUpVersionHigh = 0x3F;

int HexCharValue(uint8_t c)
{
    if (c >= 'a' && c <= 'f') c = static_cast<uint8_t>(c - 'a' + 'A');
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

uint32_t HexField(const std::array<uint8_t, cuiMain::IdentityPayloadSize>& p, int first, int count)
{
    uint32_t value = 0;
    for (int i = first; i < first + count; ++i) value = value << 4 | static_cast<uint32_t>(HexCharValue(p[size_t(i)]));
    return value;
}

// Whether a password is one the radio holds as typed: at most the
// password's bytes, each a printable ASCII character (blank to '~').
bool IsRadioPassword(const std::string& text)
{
    if (text.size() > static_cast<size_t>(cuiMain::ClonePasswordMax)) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

std::string AppTitle() { return g_GTex.GetText("GI_Sys_AppTitle", 0); }

void SendEvent(int type)
{
    if (g_EvMan != nullptr) g_EvMan->Send(type, 0, 0);
}

} // namespace

// ---- the clone manager ----

void cuiMain::CloneManDeleter::operator()(indCloneMan* man) const { delete man; }

indCloneMan& cuiMain::CloneMan()
{
    if (!m_cloneMan) {
        m_cloneMan.reset(new indCloneMan(this));
        m_cloneMan->SetIdCheck({[this](void*, dst_CDrv_Result* r) { CheckCloneIdAnswer(r); }, this});
        m_cloneMan->SetReadCheck({[this](void*, dst_CDrv_Result* r) { CheckCloneReadData(r); }, this});
    }
    return *m_cloneMan;
}

// ---- clone read ----

int cuiMain::CloneRead()
{
    if (CloneAskSaveChanges() == plat::IDCANCEL) return plat::IDCANCEL;
    indCloneMan& man = CloneMan();
    if (man.IsBusy()) return man.State();
    // With two accepted models the identify asks for any model.
    man.SetModel(m_secondModelCode != 0 ? 0 : m_modelCode, 0);
    man.StartIdQuery({[this](void*, dst_CDrv_Result* r) { OnCloneReadIdentified(r); }, this});
    return 0;
}

void cuiMain::OnCloneReadIdentified(dst_CDrv_Result* result)
{
    indCloneMan& man = CloneMan();
    if (result->ResultCode != kCloneOk || man.IsBusy()) return;
    m_cloneRanges = AddressRanges(RangesCloneRead);
    m_cloneRanges[0].Last = static_cast<int>(CloneEndAddress());
    man.SetImageSize(m_current.Size());
    man.StartRead(m_cloneRanges.data(), {[this](void*, dst_CDrv_Result* r) { OnCloneReadDone(r); }, this});
}

void cuiMain::OnCloneReadDone(dst_CDrv_Result* result)
{
    if (result->ResultCode == kCloneOk) {
        // The defaults of the model, then the radio's clone memory over them.
        m_current.Assign(m_initial);
        PackPlain(m_current);
        m_current.WriteBlock(0, result->Image.Data(), std::min(EepromMap::CloneSize, result->Image.Size()));
        CloneImageLoaded(m_current);
        SetFileName("");
        MarkModified();
        CloneCloseSheet();
        SendEvent(ev::DataReplaced);
    }
    m_cloneRanges.clear();
}

// ---- clone write ----

int cuiMain::CloneWrite()
{
    SendEvent(ev::ClosePopups);
    indCloneMan& man = CloneMan();
    if (man.IsBusy()) return man.State();
    man.SetModel(m_modelCode, 0);
    man.StartIdQuery({[this](void*, dst_CDrv_Result* r) { OnCloneWriteIdentified(r); }, this});
    return 0;
}

void cuiMain::OnCloneWriteIdentified(dst_CDrv_Result* result)
{
    indCloneMan& man = CloneMan();
    if (result->ResultCode != kCloneOk || man.IsBusy()) return;
    man.SetImageSize(m_current.Size());
    m_cloneRanges = AddressRanges(m_makerMode != 0 ? RangesCloneRead : RangesCloneWrite);
    man.StartWrite(m_current, m_cloneRanges.data(), {[this](void*, dst_CDrv_Result* r) { OnCloneWriteDone(r); }, this});
}

void cuiMain::OnCloneWriteDone(dst_CDrv_Result* result)
{
    if (result->ResultCode == kCloneOk) {
        CloneCloseSheet();
        plat::MessageBox(g_GTex.GetMultiLineText("GI_Mess_CloneWrite_Succeeded"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONINFORMATION);
    }
    m_cloneRanges.clear();
}

// ---- clone information ----

int cuiMain::ShowCloneInformation()
{
    indCloneMan& man = CloneMan();
    if (man.IsBusy()) return man.State();
    man.SetModel(m_secondModelCode != 0 ? 0 : m_modelCode, 0);
    man.StartIdQuery({[this](void*, dst_CDrv_Result* r) { OnCloneInfoIdentified(r); }, this});
    return 0;
}

void cuiMain::OnCloneInfoIdentified(dst_CDrv_Result* result)
{
    if (result->ResultCode == kCloneOk) CloneShowInformationDialog();
}

// ---- language ----

void cuiMain::ShowLanguageDialog(cmcCellCapsule* /*capsule*/)
{
    new cuiLanguage(m_mainForm, g_GTex.GetText("GI_Sys_AppTitle", 0), &g_GTex, "GI_Sheet_LanguageSel",
                    m_toolBarImages);
}

// ---- checks ----

void cuiMain::CheckCloneIdAnswer(dst_CDrv_Result* result)
{
    if (result->ResultCode != kCloneOk || result->Mode != cmcCloneDrv::ModeIdentify) return;
    const int model = result->ModelCode;
    if (model != m_modelCode && !(m_secondModelCode != 0 && model == m_secondModelCode)) {
        result->ResultCode = CloneBadIdentity;
        return;
    }
    const int sub = result->SubCode;
    m_identityBytes = {uint8_t(model >> 8), uint8_t(model), uint8_t(sub >> 8), uint8_t(sub)};
    m_variant = model == m_secondModelCode;
    m_identified = true;

    const cmcBuff& payload = result->Payload;
    if (payload.Length() == 0 || payload.At(0) != payload.Length()) {
        result->ResultCode = CloneBadIdentity;
        return;
    }
    m_identityPayload.fill(0);
    std::memcpy(m_identityPayload.data(), payload.Data(), size_t(std::min(payload.Length(), IdentityPayloadSize)));
    auto& p = m_identityPayload;
    if ((p[IdFlags53] & kFixUpBit53) != 0 && p[IdVersion] >= kFixUpVersionLow && p[IdVersion] <= kFixUpVersionHigh &&
        (p[IdFlags52] & kFixUpBit52) != 0)
        std::memmove(p.data() + kFixUpTo, p.data() + kFixUpFrom, kFixUpLength);
    // A read must stay inside the image: a radio that claims more memory
    // than the program holds is not one it can serve.
    if (CloneEndAddress() >= static_cast<uint32_t>(m_imageSize)) {
        result->ResultCode = CloneBadIdentity;
        return;
    }
    if (p[IdDataFormat] >= 2) result->ResultCode = CloneBadFormat;
}

void cuiMain::CheckCloneReadData(dst_CDrv_Result* result)
{
    if (result->ResultCode != kCloneOk || result->Mode != cmcCloneDrv::ModeRead) return;
    const int code = CloneCheckImage(result->Image);
    if (code != 0) result->ResultCode = code;
}

uint32_t cuiMain::CloneEndAddressOf(const std::array<uint8_t, IdentityPayloadSize>& payload)
{
    uint32_t end = HexField(payload, IdEnd8, 8);
    if (end == 0) end = HexField(payload, IdEnd4, 4);
    return (end & ~uint32_t{15}) + 15;
}

uint32_t cuiMain::CloneEndAddress() const { return CloneEndAddressOf(m_identityPayload); }

int cuiMain::CheckCloneImageHeader(const cmcEeprom& image, bool checkMarkers)
{
    constexpr int kBad = 1;
    if (image.Size() < EepromMap::HeaderSize) return kBad;
    const uint8_t* b = image.Data();
    auto u16 = [b](int a) { return int64_t(b[a]) << 8 | b[a + 1]; };
    auto u32 = [&u16](int a) { return u16(a) << 16 | u16(a + 2); };
    if (b[EepromMap::ModelMark] != kModelMark[0] || b[EepromMap::ModelMark + 1] != kModelMark[1]) return kBad;
    if (b[EepromMap::FormatByte] != 1 && b[EepromMap::FormatByte] != 2) return kBad;
    if (b[EepromMap::DataFormat] >= 2) return kBad;
    if (!checkMarkers) return 0;
    if (std::memcmp(b + EepromMap::MakerMarker, EepromMap::Marker, EepromMap::MarkerSize) != 0) return kBad;
    const int64_t model = u16(EepromMap::ModelCode);
    if (model != kModelCodeA && model != kModelCodeB) return kBad;
    // The end marker stands at the end of the used area.
    const int64_t end32 = u32(EepromMap::End32);
    const int64_t end16 = u16(EepromMap::End16);
    int64_t at;
    if (end32 != 0 && end16 == 0)
        at = 504 + end32 - u32(EepromMap::Base32);
    else if (end16 != 0)
        at = 504 + end16 - u16(EepromMap::Base16);
    else
        return kBad;
    if (at < 0 || at + EepromMap::MarkerSize > image.Size()) return kBad;
    return std::memcmp(b + at, EepromMap::Marker, EepromMap::MarkerSize) == 0 ? 0 : kBad;
}

// ---- the password dialogs ----

void cuiMain::ShowClonePasswordDialog()
{
    cuiClonePasswordDialog dialog(m_mainForm);
    dialog.OkButton->OnClick = [this] { OnClonePasswordOkClick(); };
    dialog.CancelButton->OnClick = [this] { OnClonePasswordCancelClick(); };
    m_clonePasswordDialog = &dialog;
    dialog.ShowModal();
    m_clonePasswordDialog = nullptr;
}

void cuiMain::OnClonePasswordOkClick()
{
    cuiClonePasswordDialog* dialog = m_clonePasswordDialog;
    if (dialog == nullptr) return;
    const std::string text = dialog->PasswordEdit->Text();
    if (text.empty() || !IsRadioPassword(text)) {
        plat::MessageBox(g_GTex.GetMultiLineText("GI_AppInd_Opt_ClonePwd_OutofRange"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONERROR, dialog);
        dialog->PasswordEdit->SetFocus();
        return;
    }
    if (g_Environ != nullptr) g_Environ->ClonePassword = text;
    m_passwordGiven = true;
    CloneMan().SetPasswordGiven(true);
    dialog->SetModalResult(plat::mrOk);
}

void cuiMain::OnClonePasswordCancelClick()
{
    if (m_clonePasswordDialog != nullptr) m_clonePasswordDialog->SetModalResult(plat::mrCancel);
}

void cuiMain::ShowReadWritePasswordDialog(const std::string& initial)
{
    // Closing the window in any other way than OK leaves no result behind.
    m_rdWrPasswordResult = false;
    cuiReadWritePasswordDialog dialog(m_mainForm, initial);
    dialog.OkButton->OnClick = [this] { OnReadWritePasswordOkClick(); };
    dialog.CancelButton->OnClick = [this] { OnReadWritePasswordCancelClick(); };
    m_rdWrPasswordDialog = &dialog;
    dialog.ShowModal();
    m_rdWrPasswordDialog = nullptr;
}

void cuiMain::OnReadWritePasswordOkClick()
{
    cuiReadWritePasswordDialog* dialog = m_rdWrPasswordDialog;
    if (dialog == nullptr) return;
    const std::string password = dialog->PasswordEdit->Text();
    const std::string confirm = dialog->ConfirmEdit->Text();
    const bool bothEmpty = password.empty() && confirm.empty();
    const bool valid =
        password == confirm && IsRadioPassword(password) && password.find_first_not_of(' ') != std::string::npos;
    if (!bothEmpty && !valid) {
        plat::MessageBox(g_GTex.GetMultiLineText("GI_AppInd_Opt_ClonePwd_OutofRange"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONERROR, dialog);
        dialog->PasswordEdit->SetFocus();
        return;
    }
    m_rdWrPassword.fill(0);
    // The buffer keeps 16 bytes and a terminating zero.
    std::memcpy(m_rdWrPassword.data(), password.data(), std::min(password.size(), m_rdWrPassword.size() - 1));
    m_rdWrPasswordResult = true;
    dialog->SetModalResult(plat::mrOk);
}

void cuiMain::OnReadWritePasswordCancelClick()
{
    m_rdWrPasswordResult = false;
    if (m_rdWrPasswordDialog != nullptr) m_rdWrPasswordDialog->SetModalResult(plat::mrCancel);
}

// ---- what the clone commands need of the document and the windows ----

int cuiMain::CloneAskSaveChanges() { return AskSaveChanges(false); }

void cuiMain::CloneCloseSheet() { CloseSheet(); }

int cuiMain::CloneCheckListErrors()
{
    int errors = 0;
    UpdateCheckList(&errors, nullptr);
    return errors;
}

int cuiMain::CloneCheckImage(const cmcEeprom& image)
{
    if (CheckImageHeader(image, true) != 0) return CloneBadHeader;
    if (CheckNewerData(image)) return CloneNewerData;
    if (CheckOldData(image)) return CloneOldData;
    return 0;
}

void cuiMain::CloneImageLoaded(cmcEeprom& image) { AfterImageLoaded(image); }

void cuiMain::CloneShowInformationDialog()
{
    // The dialog frees itself when its window goes.
    new cuiInformation(MainForm(), g_GTex.GetText("GI_Sys_AppTitle", 0), &g_GTex, "GI_Sheet_CloneInfo", TreeImages());
}
