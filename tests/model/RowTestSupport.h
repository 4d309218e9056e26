#pragma once
// A working image with its initial image, the overlay texts, the clipboard
// and the event manager that the row operations use, and a stand-in for the
// main object's handler of the list events: it renumbers and adjusts the
// list's count the way the main object does.
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ListRows.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/datClipCh.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <string>
#include <vector>

namespace rowtest {

inline constexpr int kScanLists = 179464;
inline constexpr int kChannelGroups = 325630;
inline constexpr int kGpsMove = 303590;
inline constexpr int kGpsSwitch = 197902;
inline constexpr int kDivertTargets = 302548;
inline constexpr int kPrioA = 146304;

// The texts the row operations read; each message names its key, so that a
// test sees which one was shown.
inline std::vector<std::string> OverlayLines()
{
    return {
        "#GI_Sys_AppTitle", "Test Title",
        "#GI_AppMess_Conv_Overwrite", "Overwrite?",
        "#GI_AppMess_Conv_Clear", "Clear?",
        "#GI_AppMess_Conv_Delete", "Delete?",
        "#GI_AppMess_S_Copy", "Copied",
        "#GI_AppMess_S_Paste", "Pasted",
        "#GI_AppMess_S_Clear", "Cleared",
        "#GI_AppMess_S_Delete", "Deleted",
        "#GI_AppMess_S_Insert", "Inserted",
        "#GI_AppMess_ListErr_NoList", "NoList", "second line",
        "#GI_AppMess_ChErr_DelPrio", "DelPrio",
        "#GI_AppMess_ChErr_Overflow", "Overflow",
        "#GI_AppMess_EmerDivertCH", "Zone %d channel %d diverted to the deleted channel.", "Divert is now 100%% off.",
        "#GI_AppMEss_EntrTGID", "EntrTGID", "talk group gone",
        "#End_Of_Ovl",
    };
}

struct Event {
    int type;
    intptr_t p1;
    intptr_t p2;
    std::string text;
    bool operator==(const Event&) const = default;
};

class RowFixture : public ::testing::Test {
protected:
    RowFixture()
        : initial(modeltest::MakeImage()),
          m_hooks(RowOpsHooks{
              [this](const std::string& key) {
                  questions.push_back(key);
                  return confirm;
              },
              [this](int category, int n, int group) {
                  fitQueries.push_back({category, n, group});
                  return itemsFit;
              },
              [this] { ++packs; },
          })
    {
        current.Context().InitialImage = &initial;
        g_GTex.FreeState();
        g_GTex.InitState();
        g_GTex.OpenOverlayLines(OverlayLines());
        g_ClipCh = &clip;
    }
    ~RowFixture() override
    {
        g_ClipCh = nullptr;
        g_GTex.FreeState();
        g_GTex.InitState();
    }

    cmcEeprom& image() { return current.image; }

    // The main object's handling of the list events.
    void OnEvent(const dst_Event* e)
    {
        events.push_back({e->type, e->p1, e->p2, e->Text()});
        const ListEvents* list = ListEventsOfEvent(e->type);
        if (!list || !handleListEvents) return;
        deleteRunningSeen.push_back(g_RowDeleteRunning);
        const int kind = list->kind == 1 ? channelKind : list->kind;
        const int g = int(e->p1), index = int(e->p2);
        const int step = ev::IsListInsert(e->type) ? 1 : -1;
        if (step > 0 && kind == 31) SetGroupItemCount(g, GroupItemCount(g, 31) + 1, 31);
        if (kind == 1 || kind == 2) {
            if (step > 0)
                RenumberAfterInsert(image(), initial, list->length, kind, index, &scope);
            else
                RenumberAfterDelete(image(), initial, list->length, kind, index, &scope);
        } else if (step > 0) {
            RenumberAfterInsertInGroup(image(), initial, list->length, kind, index, g + 1, &scope);
        } else {
            RenumberAfterDeleteInGroup(image(), initial, list->length, kind, index, g + 1, &scope);
        }
        switch (kind) {
        case 1:
        case 2: SetBankChannelCount(g, BankChannelCount(g) + step); break;
        case 22:
        case 27: SetGroupItemCount(g, GroupItemCount(g, kind) + step, kind); break;
        case 31:
            if (step < 0) SetGroupItemCount(g, GroupItemCount(g, 31) - 1, 31);
            break;
        case 18:
        case 28:
        case 32: step > 0 ? IncIndListCount(kind) : DecIndListCount(kind); break;
        case 19:
        case 29:
        case 33: step > 0 ? IncTgListCount(kind) : DecTgListCount(kind); break;
        case 30: step > 0 ? IncMultisiteSiteCount() : DecMultisiteSiteCount(); break;
        default: break;
        }
    }

    // Events of one type seen so far.
    std::vector<Event> EventsOf(int type) const
    {
        std::vector<Event> found;
        for (const Event& e : events)
            if (e.type == type) found.push_back(e);
        return found;
    }

    // Runs a pop-up command on the row (or range) of a record of the kind.
    datCh& Run(int command, int kind, int row, int first, int last, int group = 0)
    {
        capsule.Command = command;
        record.SetImage(&image());
        record.Unpack(kind, row);
        return RunRowCommand(&capsule, record, first, last, group);
    }
    void SelectRows(int first, int last)
    {
        capsule.RangeFlags = 1;
        capsule.RangeFirst = first;
        capsule.RangeLast = last;
    }

    // Channel n of kind 1 with a receive frequency and a name.
    void PutChannel(int n, int32_t rxFreq, const char* name = "")
    {
        datCh ch(&image());
        ch.Unpack(1, n);
        ch.RxFreq = rxFreq;
        std::memset(ch.Text, ' ', sizeof ch.Text);
        std::memcpy(ch.Text, name, std::min(std::strlen(name), sizeof ch.Text));
        ch.Commit();
    }
    int32_t FreqOf(int n)
    {
        datCh ch(&image());
        return ch.Unpack(1, n).RxFreq;
    }
    // A distinct frequency for each channel number.
    static int32_t Freq(int id) { return 150000000 + 12500 * id; }

    void Divert(int channel, int target, int mode)
    {
        datCh ch(&image());
        ch.Unpack(1, channel);
        ch.EDivertTarget = target;
        ch.ChFlagsA.EDivert = mode & 3;
        ch.Commit();
    }
    int DivertTarget(int channel) { return modeltest::Get16(image(), kDivertTargets + 2 * channel); }
    int DivertMode(int channel) { return (image().GetByte(130944 + 30 * channel + 12) >> 2) & 3; }

    qmtest::ManualTime time;
    cmcEvManHolder evman;
    modeltest::CurrentImage current;
    cmcEeprom initial;
    datClipCh clip;
    plat::ScopedDialogScript dialogs;
    cmcCellCapsule capsule;
    datCh record;
    CellChangeScope scope = 0;

    bool confirm = true;
    bool itemsFit = true;
    int packs = 0;
    int channelKind = 1;
    bool handleListEvents = true;
    std::vector<std::string> questions;
    struct FitQuery {
        int category, n, group;
        bool operator==(const FitQuery&) const = default;
    };
    std::vector<FitQuery> fitQueries;
    std::vector<Event> events;
    std::vector<int> deleteRunningSeen;

private:
    ScopedRowOpsHooks m_hooks;
    cmcEvSubscription m_subscription{MemberEventHandler<&RowFixture::OnEvent>(this)};
};

} // namespace rowtest
