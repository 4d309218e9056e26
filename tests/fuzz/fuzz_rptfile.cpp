// Repeater list files: any bytes as a file loaded into a group of the LTR,
// ZEPH or multisite repeater list of a working image.
//
// Every load ends with a result (0, a clone file error code, or -1 for a
// group without room); a refused file leaves the image exactly as it was;
// an accepted one leaves the group no larger than a group may be and the
// list no longer than the list may be.
//
// Input: one byte (bits 6-7 the list: LTR, ZEPH, multisite; bits 0-5 the
// group), then the file.
#include "core/cmcEeprom.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/RepeaterFiles.h"
#include "model/TableAccess.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/UserMessage.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kKinds[] = {22, 27, 31};
constexpr int kLengths[] = {2560, 3840, 1440};
constexpr int kGroups[] = {128, 128, 48};

struct World {
    World(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
    qmfuzz::SimulatedTime time;
    cmcEvManHolder events;
    std::unique_ptr<indEnviron> environ;
    std::unique_ptr<indMainHolder> main;
    cmcEeprom base;  // the image every input starts from
};

World* g_world = nullptr;
std::string g_folder;
std::string g_input;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qmfuzz::InstallThrowingFatal();
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_folder = std::string(shm) + "/qm-fuzz-rptfile-" + std::to_string(getpid());
    std::filesystem::create_directories(g_folder + "/config");
    std::filesystem::create_directories(g_folder + "/run");
    std::filesystem::permissions(g_folder + "/run", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (g_folder + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_folder + "/run").c_str(), 1);
    g_input = g_folder + "/in.rpt";
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(g_folder, ignored);
    });

    g_world = new World(*argc, *argv);
    g_GTex.OpenOverlayLines({"#GI_AppUnitIdMax", "65519", "#GI_Sys_AppTitle", "Title", "#GI_AddCH", "",
                             "#GI_AppMess_ChErr_Overflow", "overflow", "#GI_Mess_FileErr_Headline", "File error",
                             "#GI_Mess_FileErr_FileOpen", "open", "#GI_Mess_FileErr_FileAccess", "access",
                             "#GI_Mess_FileErr_Model", "model", "#GI_Mess_FileErr_Extra", "extra",
                             "#GI_Mess_FileErr_MapRev", "maprev", "#GI_Mess_FileErr_Format", "format",
                             "#GI_Mess_FileErr_Coverage", "coverage", "#GI_Mess_FileErr_Data", "data",
                             "#GI_Mess_FileErr_Newer", "newer", "#End_Of_Ovl"});
    plat::SetUserMessageFunction([](const std::string&, const std::string&, unsigned) { return plat::IDOK; });
    g_world->environ = std::make_unique<indEnviron>("fuzz rptfile", "Software\\Test\\RptFile", 1024, 768);
    g_Environ = g_world->environ.get();
    g_world->main = std::make_unique<indMainHolder>();
    indMain& main = g_world->main->Get();
    // Some repeaters already in the lists, so that loads shrink groups too.
    cmcEeprom& image = main.CurrentImage();
    for (int g = 0; g < 8; ++g) {
        image.SetByte(WorkTables::LtrGroupCounts + g, g);
        image.SetByte(WorkTables::ZephGroupCounts + g, 2 * g);
        image.SetByte(WorkTables::MultisiteGroupCounts + g, g);
    }
    main.Pack(image);
    g_world->base.Assign(image);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const uint8_t options = in.Byte();
    const int which = (options >> 6) % 3;
    const int kind = kKinds[which];
    const int group = (options & 0x3F) % kGroups[which];
    const std::string_view file = in.Rest();
    if (std::FILE* f = std::fopen(g_input.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    } else {
        qmfuzz::Finding("cannot write the input file");
    }

    cmcEeprom& image = g_world->main->Get().CurrentImage();
    image.Assign(g_world->base);
    plat::ScopedDialogScript dialogs;
    dialogs.Answer(plat::IDOK);  // the one box a refusal shows
    const int result = LoadRepeaterFile(g_input, group, kind);
    Require(result >= -1 && result <= kIcfNewer, "a load result outside the codes: " + std::to_string(result));
    if (result != 0) {
        Require(image.Equals(g_world->base), "a refused file changed the image");
        return 0;
    }
    Require(GroupItemCount(group, kind) <= ItemsPerGroup(kind), "a group holds more repeaters than it may");
    Require(ListItemTotal(kind) <= kLengths[which], "the list holds more repeaters than it may");
    return 0;
}
