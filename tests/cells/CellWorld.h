#pragma once
// The world a cell runs in, without a window: the overlay text (in memory),
// the event manager on a manual clock, the environment with its settings in
// a temporary folder, the main object with its images, a stand-in for the
// sheet that answers the current bank and list group, a record of the
// events posted, and pop-ups that record what a cell opened.
//
// TestImage builds working images for such tests: bank counts and types,
// group and list counters, and items written through the item codec.
#include "cells/CellPopups.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace celltest {

// Overlay sections every cell run reads, with short plain values.
std::vector<std::string> BaseOverlay();

// A list section "<key>_Cells": one line of cells of the label, each
// {index, text}.
std::vector<std::string> ListSection(const std::string& key, const std::string& labelName,
                                     std::initializer_list<std::pair<int, std::string>> entries);

struct PostedEvent {
    int type;
    intptr_t p1;
    intptr_t p2;
    std::string text = {};  // the event's data read as a text
};

// What a cell opened through the pop-up service.
struct PopupCall {
    explicit PopupCall(std::string kind) : what(std::move(kind)) {}
    std::string what;  // "choice", "picker", "bits", "text", "char", "password"
    int label = 0;
    int focus = 0;
    std::string key;
    std::string code;
    uint32_t mask = 0;
    int first = 0;
    int last = 0;
    int style = 0;
    std::string bytes;  // text or dots
    bool selectAll = false;
    int size = 0;       // max length / dot size
    int across = 0;
    int down = 0;
};

class RecordingPopups : public indCellPopups {
public:
    bool OpenChoiceList(const cmcCellCapsule&, int label, int focus, const std::string& key) override;
    bool OpenPicker(const cmcCellCapsule&, int label, int focus, const std::string& key,
                    const std::string& code) override;
    bool OpenBitEditor(const cmcCellCapsule&, uint32_t mask, int first, int last, int kind, int markStyle,
                       const std::string& key) override;
    bool OpenTextEditor(const cmcCellCapsule&, const cmcBuff& text, bool selectAll, int maxLength) override;
    bool OpenCharEditor(const cmcCellCapsule&, int dotSize, int across, int down, const cmcBuff& dots) override;
    bool AskReadWritePassword(const std::string& initial, std::array<uint8_t, 16>& result) override;
    bool OpenRepeaterSetWindow(const cmcCellCapsule& origin, int kind) override;
    int MainMenuSubItemCount(int label) const override;

    std::vector<PopupCall> calls;
    // The answer of the password dialog: confirmed with this text, or
    // cancelled when empty.
    std::optional<std::string> password;
    // The sub-items of the main menu's items by label (none: no such item).
    std::map<int, int> menuSubItems;
};

class CellWorld {
public:
    explicit CellWorld(const std::vector<std::string>& overlay = {}, int modelType = 0);
    ~CellWorld();
    CellWorld(const CellWorld&) = delete;
    CellWorld& operator=(const CellWorld&) = delete;

    indMain& Main() { return m_main->Get(); }
    cmcEeprom& Image() { return Main().CurrentImage(); }
    indEnviron& Environ() { return *m_environ; }

    // The sheet's answers to the current bank and list group (none: nobody
    // answers).
    std::optional<int> currentBank;
    std::optional<int> listGroup;

    // Delivers the posted events (the event manager's pump).
    void Pump() { time.Advance(10); }
    std::vector<PostedEvent> posted;
    std::vector<int> PostedOf(int type) const;
    // Events sent (delivered at once) meanwhile.
    std::vector<PostedEvent> sent;
    // The events of one type among them (the main object answers a list
    // event with events of its own).
    std::vector<PostedEvent> SentOf(int type) const;

    qmtest::ManualTime time;
    RecordingPopups popups;

private:
    void OnEvent(const dst_Event* event);

    qmtest::TempDir m_dir;
    std::optional<std::string> m_oldConfig;
    std::optional<std::string> m_oldRuntime;
    cmcEvManHolder m_events;
    std::unique_ptr<indEnviron> m_environ;
    indEnviron* m_previousEnviron = nullptr;
    std::unique_ptr<indMainHolder> m_main;
    ScopedCellPopups m_popupGuard{&popups};
    cmcEvSubscription m_subscription;
};

// A cell with a category, a label and an index.
std::unique_ptr<cmcCellObj> MakeCell(int category, int label, int index = 0);

// A capsule for a cell: on a grid (keys apply) or only evaluated.
struct Capsule {
    explicit Capsule(cmcCellObj* cell, bool onGrid = true);
    cmcCellCapsule cap;
    cmcCellCapsule parent;
    cmcCellObj parentCell;
    // Makes the call a pick of the list cell (label, index).
    void Pick(int label, int index);
    // Makes the call an edited text.
    void Edit(const std::string& text);
};

// Builds the content of a working image (the main object's, by default).
class TestImage {
public:
    explicit TestImage(cmcEeprom& image) : m_image(image) {}

    enum BankType { Conventional, Ltr, Zeph, Multisite, SmarTrunk, VoteZone };

    TestImage& BankCounts(std::initializer_list<int> counts);  // banks 0, 1, ...
    TestImage& BankCount(int bank, int count);
    TestImage& Type(int bank, BankType type);
    TestImage& GroupCount(int kind, int group, int count);     // kinds 22, 27, 31
    TestImage& ToneListCount(int n);
    TestImage& NacListCount(int n);
    TestImage& IdListCount(int kind, int n);                    // kinds 18, 28, 32
    TestImage& TalkGroupCount(int kind, int n);                 // kinds 19, 29, 33
    TestImage& SiteCount(int n);
    // The item (kind, index) decoded, changed by fill and packed back.
    TestImage& Item(int kind, int index, const std::function<void(datCh&)>& fill);
    // A channel of the model's record kind with an RX and TX frequency.
    TestImage& Channel(int n, int rxHz, int txHz = -1);
    TestImage& Byte(int offset, int value);
    TestImage& U16(int offset, int value);
    TestImage& U32(int offset, uint32_t value);

    datCh Read(int kind, int index) const;
    int ReadU8(int offset) const;
    int ReadU16(int offset) const;

private:
    cmcEeprom& m_image;
};

}  // namespace celltest
