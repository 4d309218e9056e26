// The clone information cells: what the radio reported in its last identity
// answer (model, firmware revision, comments, unit and fleet IDs, options,
// stun and kill, over-voltage, serial number, checksum), read only; and the
// language selector of the language dialog.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/LabelDispatch.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/CheckedFormat.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "model/indMain.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

using Payload = std::array<uint8_t, cuiMain::IdentityPayloadSize>;

// Payload positions (position 0 is the payload's length byte).
namespace pos {
constexpr int Comment1 = 2;
constexpr int Comment2 = 18;
constexpr int CommentLength = 16;
constexpr int Revision = 34;
constexpr int Serial = 37;
constexpr int SerialLength = 12;
constexpr int Options49 = 49;
constexpr int Options50 = 50;
constexpr int Options51 = 51;
constexpr int Flags52 = 52;
constexpr int Flags53 = 53;
constexpr int StunKill = 55;
constexpr int CheckSum = 60;
constexpr int DigitalRev = 76; // two characters; 0: no revision
constexpr int DigitalRevValue = 82;
constexpr int ConvUnitId = 87;       // 5 decimal characters
constexpr int TrunkUnitId = 92;      // 4
constexpr int StunId = 96;           // 5
constexpr int Flags109 = 109;
constexpr int MultisiteFleet = 110;
constexpr int MultisiteUnitId = 111; // 4
constexpr int MultisiteStunFleet = 115;
constexpr int EnterpriseTg = 117;    // 3
constexpr int GlobalTg = 120;        // 5
constexpr int ModelBits = 125;
} // namespace pos

// Stun and kill signalling types (byte 55 bits 0-3).
constexpr int kStunDigital = 6;
constexpr int kStunZephTrunk = 7;
constexpr int kStunMultisite = 8;

const Payload& IdentityPayload()
{
    static const Payload none{};
    return g_Main != nullptr ? g_Main->IdentityPayload() : none;
}

bool Bit(const Payload& p, int position, int bit) { return (p[size_t(position)] >> bit & 1) != 0; }

// The leading decimal digits of a character field; 0 when there are none.
int DecimalField(const Payload& p, int position, int length)
{
    int value = 0;
    for (int i = position; i < position + length; ++i) {
        const uint8_t c = p[size_t(i)];
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

int HexValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The leading hexadecimal digits of a character field; 0 when there are none.
uint32_t HexField(const Payload& p, int position, int length)
{
    uint32_t value = 0;
    for (int i = position; i < position + length; ++i) {
        const int v = HexValue(p[size_t(i)]);
        if (v < 0) break;
        value = value << 4 | uint32_t(v);
    }
    return value;
}

std::string Line(const char* key, int n) { return g_GTex.GetText(key, n); }
std::string Text(const char* key) { return g_GTex.GetFirstLine(key); }

// Read only: the cell shows its text and takes no key.
void Show(indCellCall& call, std::string text)
{
    call.Cap->Key = 0;
    ShowText(call.Cap, std::move(text));
}

void ModelCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    // Bit 14 of the big-endian word at 125, the second from the top.
    const int portable = Bit(p, pos::ModelBits, 6) ? 1 : 0;
    Show(call, Line("GI_AppInd_Model", portable) + "\n" +
                   Line("GI_Mess_CloneInfo_Model", Bit(p, pos::Options51, 2) ? 1 : 0) + "\n" +
                   Line("GI_Mess_CloneInfo_TenKey", Bit(p, pos::Options51, 3) ? 1 : 0));
}

void RevisionCell(indCellCall& call)
{
    const int r = IdentityPayload()[pos::Revision];
    Show(call, std::to_string(r >> 4) + "." + std::to_string(r & 15));
}

void CommentCell(indCellCall& call, int position)
{
    const Payload& p = IdentityPayload();
    char bytes[pos::CommentLength];
    for (int i = 0; i < pos::CommentLength; ++i) bytes[i] = static_cast<char>(p[size_t(position + i)]);
    call.Cap->Key = 0;
    // The copy is shown and dropped: nothing the cell is given reaches the
    // answer it came from.
    EditPlainText(call.Cap, bytes, pos::CommentLength, call.Result);
}

void Comment1Cell(indCellCall& call) { CommentCell(call, pos::Comment1); }
void Comment2Cell(indCellCall& call) { CommentCell(call, pos::Comment2); }

void FleetIdCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    Show(call, Bit(p, pos::StunKill, 6) ? std::to_string(p[pos::MultisiteFleet]) + " (Multi-site Trunk)" : std::string());
}

void UnitIdCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    std::string text;
    if (Bit(p, pos::Flags53, 1)) text += std::to_string(DecimalField(p, pos::ConvUnitId, 5)) + " (Conventional)\n";
    if (Bit(p, pos::Flags53, 0)) text += std::to_string(DecimalField(p, pos::TrunkUnitId, 4)) + " (Single-site Trunk)\n";
    if (Bit(p, pos::StunKill, 6)) text += std::to_string(DecimalField(p, pos::MultisiteUnitId, 4)) + " (Multi-site Trunk)\n";
    Show(call, text);
}

void TalkgroupIdCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    std::string text;
    if (Bit(p, pos::Flags52, 6)) text += std::to_string(DecimalField(p, pos::GlobalTg, 5)) + " (Global TG List - Conv)\n";
    if (Bit(p, pos::Flags109, 0))
        text += std::to_string(DecimalField(p, pos::EnterpriseTg, 3)) + " (Enterprise TG List - Conv)\n";
    Show(call, text);
}

void OptionCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    const int o49 = p[pos::Options49] & 7;
    const int o50 = p[pos::Options50];
    const bool a = o49 == 2; // bit 1 alone of bits 0-2
    const bool b = o49 == 1; // bit 0 alone
    std::string text;
    auto add = [&text](const std::string& line) { text += line + "\n"; };
    if (Bit(p, pos::Options50, 5)) add(Text(Bit(p, pos::Options50, 4) ? "GI_Mess_CloneInfo_Opt_Ut110" : "GI_Mess_CloneInfo_Opt_Ut109"));
    if (a && (o50 & 3) != 1) add(Text((o50 & 3) == 2 ? "GI_Mess_CloneInfo_Opt_Ut117" : "GI_Mess_CloneInfo_Opt_Ut105"));
    if (Bit(p, pos::Options50, 2)) add(Text("GI_Mess_CloneInfo_Opt_Ut103"));
    if (b) add(Text("GI_Mess_CloneInfo_Opt_Ut108"));
    if (Bit(p, pos::Options50, 3) && Bit(p, pos::Options51, 2)) add(Text("GI_Mess_CloneInfo_Opt_Ut124"));
    if (Bit(p, pos::Options51, 6)) add(Text("GI_Mess_CloneInfo_Opt_Ut96"));
    if (Bit(p, pos::Options51, 1)) add(Text("GI_Mess_CloneInfo_Opt_FFN"));
    const int digital = p[pos::Options51] >> 4 & 3;
    if (!Bit(p, pos::Options51, 0) && (digital == 1 || digital == 2)) {
        std::string line = Line("GI_Mess_CloneInfo_Opt_Digi", digital);
        if (p[pos::DigitalRev] != 0) {
            line += CheckedFormat("(Rev:%1c.%1c:$%04X)", {int(p[pos::DigitalRev]), int(p[pos::DigitalRev + 1]),
                                                          HexField(p, pos::DigitalRevValue, 4)});
        }
        add(line);
    }
    Show(call, text);
}

void StunKillCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    const int type = p[pos::StunKill] & 15;
    static const char* const kTypeKeys[] = {
        nullptr,
        "GI_Mess_CloneInfo_StunKill_DTMF",
        "GI_Mess_CloneInfo_StunKill_2Tone",
        "GI_Mess_CloneInfo_StunKill_5Tone",
        "GI_Mess_CloneInfo_StunKill_KOVR",
        "GI_Mess_CloneInfo_StunKill_MDC",
        "GI_Mess_CloneInfo_StunKill_Digital",
        "GI_Mess_CloneInfo_StunKill_ZEPHTrunk",
        "GI_Mess_CloneInfo_StunKill_Multisite",
    };
    // Types the program does not know are not shown.
    if (type == 0 || type > kStunMultisite) {
        Show(call, std::string());
        return;
    }
    std::string text = CheckedFormat(Text(kTypeKeys[type]));
    const bool stunId = Bit(p, pos::StunKill, 5);
    const int id = DecimalField(p, pos::StunId, 5);
    if ((type == kStunDigital || type == kStunZephTrunk) && stunId) {
        text.append("\n").append(CheckedFormat(Text("GI_Mess_CloneInfo_StunKill_ID"), {id}));
    } else if (type == kStunMultisite) {
        if (Bit(p, pos::Flags109, 3))
            text.append("\n").append(CheckedFormat(Text("GI_Mess_CloneInfo_StunKill_Multisite_System")));
        else if (stunId)
            text.append("\n").append(CheckedFormat(Text("GI_Mess_CloneInfo_StunKill_ID_Multisite"), {int(p[pos::MultisiteStunFleet]), id}));
    }
    text.append("\n").append(CheckedFormat(Text(Bit(p, pos::StunKill, 4) ? "GI_Mess_CloneInfo_Kill" : "GI_Mess_CloneInfo_Stun")));
    Show(call, text);
}

void OverVoltCell(indCellCall& call)
{
    Show(call, Bit(IdentityPayload(), pos::Flags53, 5) ? Line("GI_Mess_CloneInfo_OverVolt", 0) : std::string());
}

void EsnCell(indCellCall& call)
{
    const Payload& p = IdentityPayload();
    for (int i = pos::Serial; i < pos::Serial + pos::SerialLength; ++i) {
        if (HexValue(p[size_t(i)]) < 0) {
            Show(call, " ");
            return;
        }
    }
    // Read as hexadecimal groups of 4, 2 and 6 digits, shown as decimals.
    const uint32_t a = HexField(p, pos::Serial, 4);
    const uint32_t b = HexField(p, pos::Serial + 4, 2);
    const uint32_t c = HexField(p, pos::Serial + 6, 6);
    Show(call, CheckedFormat("%04d%02d%05ld", {int(a), int(b), long(c)}));
}

void CheckSumCell(indCellCall& call)
{
    Show(call, CheckedFormat("$%04X", {HexField(IdentityPayload(), pos::CheckSum, 4)}));
}

void DummyCell(indCellCall& call) { Show(call, std::string()); }

void LanguageSelectCell(indCellCall& call)
{
    int language = g_Environ != nullptr ? g_Environ->Language : 0;
    if (PickFromList(call.Cap, "GI_Sheet_Sel_Language", Flex_Language_ChNo, language, language, std::string(), call.Result) &&
        g_Environ != nullptr)
        g_Environ->Language = language;
    const std::string entry = g_GTexSys.GetText("GI_Sys_Language", language);
    ShowText(call.Cap, entry.substr(0, entry.find('\t')));
}

constexpr LabelBehaviourEntry kCloneInfoCells[] = {
    {CL_CloneInfo_Model, ModelCell},
    {CL_CloneInfo_Revision, RevisionCell},
    {CL_CloneInfo_Comment1, Comment1Cell},
    {CL_CloneInfo_Comment2, Comment2Cell},
    {CL_CloneInfo_Digital_FleetID, FleetIdCell},
    {CL_CloneInfo_Digital_UnitID, UnitIdCell},
    {CL_CloneInfo_Digital_TalkgroupID, TalkgroupIdCell},
    {CL_CloneInfo_Option, OptionCell},
    {CL_CloneInfo_StunKill, StunKillCell},
    {CL_CloneInfo_OverVolt, OverVoltCell},
    {CL_CloneInfo_Esn, EsnCell},
    {CL_CloneInfo_CheckSum, CheckSumCell},
    {CL_CloneInfo_Dummy, DummyCell},
    {CL_Langage_Select, LanguageSelectCell},
};

} // namespace

std::span<const LabelBehaviourEntry> CloneInfoCellBehaviours() { return kCloneInfoCells; }
