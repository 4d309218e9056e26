// The radio model's clone steps: when the clone password is asked for,
// which radio versions may be written, how the image is packed for the
// radio, and which addresses a read or a write covers.
#include "cells/ValueHandlers.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/Normalise.h"
#include "model/Packing.h"
#include "model/Unpacking.h"
#include "model/indCloneMan.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Identity payload: byte 53 bit 3 a clone password is required, bit 4 (read
// only) none is needed; the serial number as 12 hexadecimal characters.
constexpr uint8_t kPasswordRequired = 0x08;
constexpr uint8_t kPasswordNotNeeded = 0x10;
constexpr int kSerialText = 37;
constexpr int kSerialLength = 12;
constexpr int kSerialLastDigits = 6;
// Byte 109: bit 6 32-bit addressing; bits 4-5 the layouts the radio takes.
constexpr uint8_t kExtendedAddressing = 0x40;
constexpr int kLayoutChoiceShift = 4;
constexpr int kLayoutChoiceBoth = 2; // the 16-bit layout, else the 32-bit one

// Radio versions.
constexpr int kFirstWritableVersion = 0x20;
constexpr int kLastVersionWithoutZeph = 0x23;
constexpr int kLastVersionWithoutMultisite = 0x31;

// Working bytes.
constexpr int kClonePasswordSetting = 176104; // the image sets a clone password

// The first 256 bytes of the clone memory are written in maker mode only.
constexpr int kWriteStart = 0x100;
constexpr int kRepeaterFileLast = 214;
constexpr int kBlockLowBits = 0x7F;

bool IsHexChar(uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

void ErrorBox(const char* key)
{
    plat::MessageBox(g_GTex.GetMultiLineText(key), g_GTex.GetText("GI_Sys_AppTitle", 0), plat::MB_OK | plat::MB_ICONERROR);
}

uint32_t ReadU32(const cmcEeprom& image, int at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<uint32_t>(image.GetByte(at + i));
    return v;
}

} // namespace

std::vector<dst_AdrRange> indMain::AddressRanges(int purpose)
{
    switch (purpose) {
    case RangesCloneWrite: return {{kWriteStart, EepromMap::CloneLast}, {1, 0}};
    case RangesRepeaterFile: return {{0, kRepeaterFileLast}, {1, 0}};
    default: return {{0, EepromMap::CloneLast}, {1, 0}};
    }
}

int indMain::CloneWriteEndAddress(const cmcEeprom& image)
{
    uint32_t end = ReadU32(image, EepromMap::End32);
    if (end == 0) end = static_cast<uint32_t>(image.GetByte(EepromMap::End16) << 8 | image.GetByte(EepromMap::End16 + 1));
    end |= kBlockLowBits;
    return end > INT32_MAX ? INT32_MAX : static_cast<int>(end);
}

void indMain::ParseSerialNumber()
{
    const auto& p = IdentityPayload();
    m_serialNumber = 0;
    for (int i = kSerialText; i < kSerialText + kSerialLength; ++i)
        if (!IsHexChar(p[size_t(i)])) return;
    const std::string digits(p.begin() + kSerialText + kSerialLength - kSerialLastDigits, p.begin() + kSerialText + kSerialLength);
    m_serialNumber = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

// ---- clone read ----

int indMain::CloneRead()
{
    m_passwordGiven = false;
    m_secondIdentifyPending = false;
    // A password confirmed for a command that then failed is not sent along
    // with the next one.
    if (!CloneMan().IsBusy()) CloneMan().SetPasswordGiven(false);
    return cuiMain::CloneRead();
}

void indMain::OnCloneReadIdentified(dst_CDrv_Result* result)
{
    indCloneMan& man = CloneMan();
    if (result->ResultCode != kCloneOk || man.IsBusy()) return;
    const auto& p = IdentityPayload();
    const bool wantsPassword = (p[IdFlags53] & kPasswordRequired) != 0 && (p[IdFlags53] & kPasswordNotNeeded) == 0;
    if (wantsPassword) {
        if (!m_secondIdentifyPending) {
            // Cancel ends the read without a word; OK identifies again.
            ShowClonePasswordDialog();
            if (m_passwordGiven) {
                m_secondIdentifyPending = true;
                man.StartIdQuery({[this](void*, dst_CDrv_Result* r) { OnCloneReadIdentified(r); }, this});
            }
            return;
        }
        m_secondIdentifyPending = false;
    } else {
        m_passwordGiven = true;
    }
    m_passwordGiven = false;
    m_cloneRanges = AddressRanges(RangesCloneRead);
    m_cloneRanges[0].Last = static_cast<int>(CloneEndAddress());
    man.SetExtendedAddressing((p[IdAddressing] & kExtendedAddressing) != 0);
    man.SetImageSize(CurrentImage().Size());
    man.StartRead(m_cloneRanges.data(), {[this](void*, dst_CDrv_Result* r) { OnCloneReadDone(r); }, this});
}

// ---- clone write ----

int indMain::CloneWrite()
{
    if (CountActiveChannels() == 0) {
        ErrorBox("GI_AppMess_CloneErr_NoActualCh");
        return 1;
    }
    if (CloneCheckListErrors() > 0) {
        ErrorBox("GI_Mess_DataError");
        return 1;
    }
    m_writeConfirmationsDone = false;
    m_passwordGiven = false;
    m_secondIdentifyPending = false;
    if (!CloneMan().IsBusy()) CloneMan().SetPasswordGiven(false);
    return cuiMain::CloneWrite();
}

void indMain::OnCloneWriteIdentified(dst_CDrv_Result* result)
{
    indCloneMan& man = CloneMan();
    if (result->ResultCode != kCloneOk || man.IsBusy()) return;
    const auto& p = IdentityPayload();
    const CloneCompletion again{[this](void*, dst_CDrv_Result* r) { OnCloneWriteIdentified(r); }, this};
    if (p[IdVersion] < kFirstWritableVersion) {
        man.ShowCloneError(CloneBadFormat);
        return;
    }
    if (!m_writeConfirmationsDone) {
        if (MakerMode() != 0 && ConfirmOkCancel("GI_Mess_Maker_Caution") != plat::IDOK) return;
        if (CurrentImage().GetByte(kClonePasswordSetting) != 0 &&
            ConfirmOkCancel("GI_Mess_Confirm_CloneWriteClonePass") != plat::IDOK)
            return;
        if (ConfirmOkCancel("GI_Mess_Confirm_CloneWrite") != plat::IDOK) return;
        m_writeConfirmationsDone = true;
        man.StartIdQuery(again);
        return;
    }
    if ((p[IdFlags53] & kPasswordRequired) == 0) {
        m_passwordGiven = true;
        m_writeConfirmationsDone = false;
    } else if (m_secondIdentifyPending) {
        m_secondIdentifyPending = false;
        m_writeConfirmationsDone = false;
    } else {
        ShowClonePasswordDialog();
        if (m_passwordGiven) {
            m_secondIdentifyPending = true;
            man.StartIdQuery(again);
        }
        return;
    }
    if (!m_passwordGiven || m_secondIdentifyPending) return;
    m_passwordGiven = false;

    ParseSerialNumber();
    cmcEeprom copy(CurrentImage());
    man.SetExtendedAddressing(false);
    man.SetImageSize(copy.Size());
    m_cloneRanges = AddressRanges(MakerMode() != 0 ? RangesCloneRead : RangesCloneWrite);
    const OutputPreparation prep = PrepareCloneWriteCopy(copy);

    const int version = p[IdVersion];
    if (version <= kLastVersionWithoutZeph && !prep.HasNonZephChannel) {
        ErrorBox("GI_AppMess_CloneErr_NotReadyZEPHTrunk");
        m_cloneRanges.clear();
        return;
    }
    if (version <= kLastVersionWithoutMultisite && !prep.HasNonMultisiteChannel) {
        ErrorBox("GI_AppMess_CloneErr_NotReadyMultisiteTrunk");
        m_cloneRanges.clear();
        return;
    }
    if (!PackForRadio(copy)) {
        m_cloneRanges.clear();
        return;
    }
    const int end = CloneWriteEndAddress(copy);
    // Nothing goes beyond the memory the radio reported.
    if (static_cast<uint32_t>(end) > CloneEndAddress()) {
        ErrorBox("GI_Mess_CloneErr_Datasize_Over");
        m_cloneRanges.clear();
        return;
    }
    m_cloneRanges[0].Last = end;
    copy.SetByte(EepromMap::DataFormat, p[IdDataFormat]);
    man.StartWrite(copy, m_cloneRanges.data(), {[this](void*, dst_CDrv_Result* r) { OnCloneWriteDone(r); }, this});
}

OutputPreparation indMain::PrepareCloneWriteCopy(cmcEeprom& copy)
{
    BeforeCloneWrite(copy);
    const OutputPreparation prep = ::PrepareImageForOutput(copy, kBeforeOutput, true);
    if (prep.CustomerMode) SetCustomerMode(1);
    return prep;
}

bool indMain::PackForRadio(cmcEeprom& copy)
{
    indCloneMan& man = CloneMan();
    const int flags = IdentityPayload()[IdAddressing];
    if ((flags & kExtendedAddressing) == 0) {
        // A radio with 16-bit addresses takes the 16-bit layout only.
        if (PackWithLayoutFlag(copy, true, true, true) != kPackOk) {
            ErrorBox("GI_Mess_CloneErr_Old_Datasize_Model");
            return false;
        }
        return true;
    }
    int packed = PackWithLayoutFlag(copy, true, true, true);
    if (packed != kPackOk && (flags >> kLayoutChoiceShift & 3) == kLayoutChoiceBoth)
        packed = PackWithLayoutFlag(copy, true, true, false);
    if (packed != kPackOk) {
        ErrorBox("GI_Mess_CloneErr_Datasize_Over");
        return false;
    }
    man.SetExtendedAddressing(true);
    return true;
}
