// The COM port dialog: what it takes, what it refuses and with which words.
#include "flashloader/ComPort.h"
#include "flashloader/TfrmComPort.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <string>

namespace {

struct DialogRig {
    DialogRig()
    {
        qmtest::WriteFile(dir.File("QM7150Q.INI"), "[Com Settings]\nPort=6\n");
        port = std::make_unique<fl::ComPort>(dir.File("QM7150Q.INI"));
    }
    qmtest::TempDir dir;
    std::unique_ptr<fl::ComPort> port;
};

TEST(FlashComPortDialog, ShowsTheCurrentPortAndTakesOneFrom1To255)
{
    struct Case {
        const char* typed; // typed over the selected preset
        bool ok;           // OK (else Cancel) pressed
        int result;
        int port;          // afterwards
        bool refused;      // "Bad COM Port Number" shown
    };
    const Case cases[] = {
        {"1", true, plat::mrOk, 1, false},
        {"255", true, plat::mrOk, 255, false},
        {"017", true, plat::mrOk, 17, false},
        {"0", true, plat::mrCancel, 6, true},
        {"256", true, plat::mrCancel, 6, true},
        {"999", true, plat::mrCancel, 6, true},
        {"", true, plat::mrCancel, 6, true}, // no number at all
        {"9", false, plat::mrCancel, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.ok ? " OK" : " Cancel"));
        DialogRig rig;
        plat::ScopedDialogScript script;
        fl::TfrmComPort dialog(*rig.port);
        EXPECT_EQ(dialog.Caption(), "COM Port");
        EXPECT_EQ(dialog.lblPort->Caption(), "Enter COM port [ 1-255]");
        script.Drive([&](plat::Form&) {
            EXPECT_EQ(dialog.mskEditPort->Text(), "6");
            EXPECT_TRUE(dialog.mskEditPort->Focused());
            if (*c.typed == '\0')
                plat::SendKey(dialog, plat::VK_BACK);
            else
                plat::TypeText(dialog, c.typed);
            (c.ok ? dialog.btnOk : dialog.btnCancel)->Click();
        });
        if (c.refused) script.Answer(plat::IDOK);
        EXPECT_EQ(dialog.ShowModal(), c.result);
        EXPECT_EQ(rig.port->GetPort(), c.port);
        ASSERT_EQ(script.Boxes().size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(script.Boxes()[0].text, "Bad COM Port Number");
            EXPECT_EQ(script.Boxes()[0].caption, "COM Port");
            EXPECT_EQ(script.Boxes()[0].Icon(), plat::MB_ICONERROR);
        }
    }
}

TEST(FlashComPortDialog, TakesThreeDigitsAtMost)
{
    DialogRig rig;
    plat::ScopedDialogScript script;
    fl::TfrmComPort dialog(*rig.port);
    script.Drive([&](plat::Form&) {
        plat::TypeText(dialog, "1a-2 34");
        EXPECT_EQ(dialog.mskEditPort->Text(), "123");
        plat::SendKey(dialog, plat::VK_RETURN); // the default button
    });
    EXPECT_EQ(dialog.ShowModal(), plat::mrOk);
    EXPECT_EQ(rig.port->GetPort(), 123);
}

} // namespace
