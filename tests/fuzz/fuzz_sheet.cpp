// The sheet layout reader: any overlay sections for one sheet key (style,
// basic cell, cells) built into a sheet on the offscreen platform, on a form
// that is never shown. A configuration fault of the overlay ends the program
// there (the fatal message), which is an answer, not a finding; a build that
// ends must leave a grid that holds a slot for every row and column.
//
// Input: an options byte (bit 0 pop-up, bit 1 PMR model, bit 2 customer
// mode, bit 3 the font-set bit, bit 4 the option bit of the image), a byte
// for the list counts of the radio data, a byte for its banks, then lines:
// the style line, the basic-cell line and the lines of the cells section.
#include "cells/indActiveCell.h"
#include "core/cmcEeprom.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Form.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetHost.h"

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kKey = "F";
// The cells section holds at most this many lines of the input.
constexpr int kMaxCellLines = 48;
constexpr int kFontSetByte = 175682;
constexpr int kFontSetBit = 2;
constexpr int kOptionByte = 11;
constexpr int kSaccBit = 3;
constexpr int kChannelsPerBank = 4;

// What lives for the whole run: the window system, a form that is never
// shown, and the working image that list loops count.
struct World {
    World(int& argc, char** argv) : app(argc, argv)
    {
        image.Resize(EepromMap::ImageSize);
        context.CurrentImage = &image;
    }
    QApplication app;
    plat::Form form;
    cmcEeprom image;
    ModelContext context;
    // Views that run cells directly find no cell behaviour.
    indActiveCell::TestOverride engine{[](cmcCellCapsule* c, int) {
        c->Text.clear();
        return erNothing;
    }};
};
World* g_world = nullptr;

void SetBit(cmcEeprom& image, int at, int bit, bool on)
{
    const int value = image.GetByte(at);
    image.SetByte(at, on ? value | (1 << bit) : value & ~(1 << bit));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_world = new World(*argc, *argv);
    g_world->form.SetClientSize(640, 400);
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qmfuzz::Input in(data, size);
    const uint8_t options = in.Byte();
    const uint8_t lists = in.Byte();
    const uint8_t banks = in.Byte();

    // The radio data the conditions and list loops read.
    cmcEeprom& image = g_world->image;
    SetBit(image, kFontSetByte, kFontSetBit, (options & 8) != 0);
    SetBit(image, kOptionByte, kSaccBit, (options & 16) != 0);
    for (int kind : {18, 28, 32}) WriteIndListCount(image, lists, kind);
    for (int kind : {19, 29, 33}) WriteTgListCount(image, lists, kind);
    for (int b = 0; b < WorkTables::Banks; ++b) {
        const int n = b < banks % 16 ? kChannelsPerBank : 0;
        image.SetByte(WorkTables::BankCounts + 2 * b, 0);
        image.SetByte(WorkTables::BankCounts + 2 * b + 1, n);
    }
    ModelContext context = g_world->context;
    context.MchRecordKind = [options] { return (options & 2) != 0 ? 2 : 1; };
    ScopedModelContext contextGuard(context);
    cuiSheetHost host;
    host.CustomerMode = [options] { return (options & 4) != 0; };
    host.PickerBank = [banks] { return banks >> 4; };
    ScopedSheetHost hostGuard(host);
    // An event manager of the input's own, on simulated time.
    qmfuzz::SimulatedTime time;
    cmcEvManHolder events;

    // The sheet's sections; sheets also read the list of stored widths.
    std::vector<std::string> lines{"#" + std::string(kKey) + "_Style", std::string(in.Until('\n')),
                                   "#" + std::string(kKey) + "_BasicCell", std::string(in.Until('\n')),
                                   "#" + std::string(kKey) + "_Cells"};
    for (int n = 0; n < kMaxCellLines && !in.Empty(); ++n) lines.emplace_back(in.Until('\n'));
    lines.insert(lines.end(), {"#GI_CellWidthRegList", "#End_Of_Ovl"});
    g_GTex.FreeState();
    g_GTex.InitState();
    g_GTex.OpenOverlayLines(std::move(lines));

    auto sheet = std::make_unique<cuiSheet>(&g_world->form, nullptr, 0, 0, &g_GTex, kKey, nullptr);
    sheet->SetPopupMode((options & 1) != 0);
    sheet->SetCellHandler([](cmcCellCapsule* c, int) {
        c->Text = "v" + std::to_string(c->Cell != nullptr ? c->Cell->Index : 0);
        return erNothing;
    });
    bool built = false;
    try {
        sheet->Show();
        built = true;
    } catch (const plat::FatalError&) {
        // A configuration fault of the overlay: the program ends here.
    }
    if (built) {
        const cuiGrid& grid = *sheet->Grid();
        qmfuzz::Require(grid.RowCount() > 0 && grid.ColCount() > 0, "a sheet without rows or columns");
        // Every grid position has its slot ("Illegal Cell selection" here
        // would be a broken sheet, not a broken overlay).
        qmfuzz::Require(sheet->HasSlots(), "a sheet without cell slots");
        sheet->CellAt(grid.ColCount() - 1, grid.RowCount() - 1);
        sheet->CellAt(grid.Col(), grid.Row());
    }
    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
    // The deletions the window system deferred to its message loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
