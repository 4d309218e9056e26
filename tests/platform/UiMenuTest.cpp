// Menus: check marks, enabled and visible states, clicks, separators and the
// lifetime of items with an owner.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace plat;

namespace {
// The Qt actions that show the sub-items of an item.
QList<QAction*> ActionsUnder(QWidget* widget) { return widget->actions(); }
} // namespace

TEST(UiMenu, CheckMarksEnabledAndVisibleStatesFollowTheItems)
{
    Form f;
    auto* menu = new MainMenu(f);
    MenuItem* port = menu->Items().Add("COM Port");
    std::vector<MenuItem*> items;
    for (const char* caption : {"COM1", "COM2", "COM3", "COM4", "more..."}) items.push_back(port->Add(caption));

    items[1]->SetChecked(true);
    items[2]->SetEnabled(false);
    items[3]->SetVisible(false);
    const QList<QAction*> actions = ActionsUnder(menu->Bar()->actions().at(0)->menu());
    ASSERT_EQ(actions.size(), 5);
    EXPECT_TRUE(actions[1]->isChecked());
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_FALSE(actions[0]->isCheckable()); // unchecked items show no mark
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_FALSE(actions[3]->isVisible());
    EXPECT_EQ(actions[4]->text().toStdString(), "more...");

    // Moving the check mark, as the port menu does.
    for (MenuItem* item : items) item->SetChecked(false);
    items[0]->SetChecked(true);
    EXPECT_TRUE(actions[0]->isChecked());
    EXPECT_FALSE(actions[1]->isChecked());
    items[2]->SetEnabled(true);
    EXPECT_TRUE(actions[2]->isEnabled());
}

TEST(UiMenu, ClicksReachEnabledItemsAfterTheMenuCloses)
{
    Form f;
    auto* menu = new MainMenu(f);
    MenuItem* file = menu->Items().Add("&File");
    std::vector<std::string> clicked;
    MenuItem* exit = file->Add("E&xit", [&](MenuItem& sender) { clicked.push_back(sender.Caption()); });
    exit->SetChecked(true);

    exit->Click();
    EXPECT_EQ(clicked, std::vector<std::string>{"E&xit"});

    // Chosen in the toolkit: the handler runs from the message loop, and the
    // item's own check mark stays as it was.
    QAction* action = file->Count() == 1 ? menu->Bar()->actions().at(0)->menu()->actions().at(0) : nullptr;
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(clicked.size(), 1u);
    ProcessMessages();
    EXPECT_EQ(clicked.size(), 2u);
    EXPECT_TRUE(action->isChecked());

    exit->SetEnabled(false);
    exit->Click();
    EXPECT_EQ(clicked.size(), 2u);

    // An item freed before its queued click runs is not clicked.
    exit->SetEnabled(true);
    action->trigger();
    delete exit;
    ProcessMessages();
    EXPECT_EQ(clicked.size(), 2u);
    EXPECT_EQ(file->Count(), 0);
}

TEST(UiMenu, SeparatorsSubItemsAndOrder)
{
    PopupMenu popup;
    MenuItem& root = popup.Items();
    MenuItem* a = root.Add("Edit...");
    MenuItem* sep = root.Add("-");
    MenuItem* b = root.Add("Copy");
    auto* c = new MenuItem();
    c->SetCaption("Insert");
    root.Insert(1, c);
    EXPECT_EQ(root.IndexOf(c), 1);
    const QList<QAction*> actions = popup.Menu()->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[1]->text().toStdString(), "Insert");
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_TRUE(sep->IsSeparator());

    // Sub-items open a sub-menu; moving an item takes it from its old place.
    b->Add(a);
    EXPECT_EQ(root.Count(), 3);
    EXPECT_EQ(a->Parent(), b);
    ASSERT_NE(popup.Menu()->actions().at(2)->menu(), nullptr);
    EXPECT_EQ(popup.Menu()->actions().at(2)->menu()->actions().size(), 1);
    // An item cannot lie under itself.
    a->Add(b);
    EXPECT_EQ(b->Parent(), &root);

    root.Clear();
    EXPECT_EQ(root.Count(), 0);
    EXPECT_TRUE(popup.Menu()->actions().isEmpty());
}

TEST(UiMenu, ItemsWithAnOwnerLeaveTheMenuWhenTheOwnerGoes)
{
    Form f;
    auto* menu = new MainMenu(f);
    MenuItem* edit = menu->Items().Add("&Edit");
    auto* popup = new PopupMenu(&f);
    // Items placed in the main menu but owned by the pop-up menu.
    for (const char* caption : {"Edit...", "Copy"}) {
        auto* item = new MenuItem(popup);
        item->SetCaption(caption);
        edit->Add(item);
    }
    auto* own = new MenuItem();
    own->SetCaption("Stays");
    edit->Add(own);
    EXPECT_EQ(edit->Count(), 3);
    delete popup;
    ASSERT_EQ(edit->Count(), 1);
    EXPECT_EQ(edit->Items(0), own);
    EXPECT_EQ(menu->Bar()->actions().at(0)->menu()->actions().size(), 1);

    // The item an owned item lies under may go first.
    auto* owner = new PopupMenu();
    auto* owned = new MenuItem(owner);
    edit->Add(owned);
    edit->Clear();
    delete owner;
    EXPECT_EQ(edit->Count(), 0);
}

// ---- shortcuts ----

#include "platform/ui/TestHooks.h"

TEST(UiMenuShortCut, TextsAndKeys)
{
    struct Case {
        const char* text;
        ShortCut shortCut;
        const char* shown; // the text it is shown as
    };
    const Case cases[] = {
        {"Ctrl+C", scCtrl | 'C', "Ctrl+C"},
        {"ctrl+c", scCtrl | 'C', "Ctrl+C"},
        {"Shift+Del", scShift | VK_DELETE, "Shift+Del"},
        {"Ctrl+Alt+F5", scCtrl | scAlt | (VK_F1 + 4), "Ctrl+Alt+F5"},
        {"Alt+Ctrl+F12", scCtrl | scAlt | VK_F12, "Ctrl+Alt+F12"},
        {"Enter", VK_RETURN, "Enter"},
        {"Ins", VK_INSERT, "Ins"},
        {"PgDn", VK_NEXT, "PgDn"},
        {"BkSp", VK_BACK, "BkSp"},
        {"Shift+3", scShift | '3', "Shift+3"},
        {"", 0, ""},
        {"Ctrl+", 0, ""},
        {"Ctrl+F13", 0, ""},
        {"Hyper+X", 0, ""},
        {"Ctrl+CC", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
        EXPECT_EQ(ShortCutToText(c.shortCut), c.shown) << c.text;
    }
}

TEST(UiMenuShortCut, LiveOnlyInTheMainMenu)
{
    ScopedDialogScript script;
    Form f;
    auto* menu = new MainMenu(f);
    MenuItem* edit = menu->Items().Add("&Edit");
    std::vector<std::string> clicked;
    MenuItem* copy = edit->Add("&Copy", [&](MenuItem& m) { clicked.push_back("main " + m.Caption()); });
    copy->SetShortCut(TextToShortCut("Ctrl+C"));
    PopupMenu popup(&f);
    MenuItem* popupCopy = popup.Items().Add("&Copy", [&](MenuItem& m) { clicked.push_back("popup " + m.Caption()); });
    popupCopy->SetShortCut(TextToShortCut("Ctrl+C"));
    f.Show();
    ProcessMessages();

    // The pop-up item shows the key's text but does not bind it: one click.
    QAction* popupAction = popup.Menu()->actions().at(0);
    EXPECT_EQ(popupAction->text().toStdString(), "&Copy\tCtrl+C");
    // The main menu names its keys as the pop-up menus do.
    MenuItem* change = edit->Add("C&hange");
    change->SetShortCut(TextToShortCut("Enter"));
    EXPECT_EQ(ActionsUnder(menu->Bar()->actions().at(0)->menu()).at(1)->text().toStdString(), "C&hange\tEnter");
    EXPECT_TRUE(popupAction->shortcut().isEmpty());
    SendKey(f, 'C', ssCtrl);
    ProcessMessages();
    ASSERT_EQ(clicked, std::vector<std::string>{"main &Copy"});

    // An item moved from a pop-up into the main menu (a mirrored item)
    // binds its key there, named as before, and no longer when it leaves
    // again.
    copy->SetShortCut(0);
    edit->Add(popupCopy);
    EXPECT_EQ(popupAction->text().toStdString(), "&Copy\tCtrl+C");
    SendKey(f, 'C', ssCtrl);
    ProcessMessages();
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked.back(), "popup &Copy");
    edit->Remove(popupCopy);
    clicked.clear();
    SendKey(f, 'C', ssCtrl);
    ProcessMessages();
    EXPECT_TRUE(clicked.empty());
    delete popupCopy;
}

// ---- menu keys ----

namespace {

// A window with a menu bar (File, and an Edit menu that is disabled) and an
// edit field that notes each time it is asked to let go of the keyboard for
// a menu, as the sheets' in-place editor does.
struct MenuWindow {
    Form form;
    MainMenu* bar = new MainMenu(form);
    Edit* edit = new Edit(form);
    int letGo = 0;

    MenuWindow()
    {
        bar->Items().Add("&File")->Add("&New");
        MenuItem* editMenu = bar->Items().Add("&Edit");
        editMenu->Add("&Copy");
        editMenu->SetEnabled(false);
        edit->OnMenuKey = [this] { ++letGo; };
        form.Show();
        ProcessMessages();
    }
};

// The caption of the menu that is open, "" when none is.
std::string OpenMenu()
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr ? menu->title().toStdString() : "";
}

void CloseMenus()
{
    for (int i = 0; i < 4 && QApplication::activePopupWidget() != nullptr; ++i) {
        QApplication::activePopupWidget()->close();
        ProcessMessages();
    }
}

struct MenuKey {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* opens; // the menu it opens, "" for none
};

} // namespace

// Alt with the letter of an enabled menu opens that
// menu, and the control with the focus lets go first; any other key leaves
// the menus and the control alone.
TEST(UiMenuKeys, AltWithTheLetterOfAnEnabledMenuOpensIt)
{
    const MenuKey cases[] = {
        {"Alt+F", Qt::Key_F, Qt::AltModifier, "&File"},
        {"Ctrl+F", Qt::Key_F, Qt::ControlModifier, ""},
        {"Ctrl+Alt+F", Qt::Key_F, Qt::ControlModifier | Qt::AltModifier, ""},
        {"Alt+E, a disabled menu", Qt::Key_E, Qt::AltModifier, ""},
        {"Alt+X, no menu's letter", Qt::Key_X, Qt::AltModifier, ""},
    };
    for (const MenuKey& c : cases) {
        SCOPED_TRACE(c.what);
        MenuWindow w;
        w.edit->SetFocus();
        QTest::keyClick(w.edit->Widget(), c.key, c.modifiers);
        ProcessMessages();
        EXPECT_EQ(OpenMenu(), c.opens);
        EXPECT_EQ(w.letGo, *c.opens != 0 ? 1 : 0);
        EXPECT_EQ(w.edit->Text(), "");
        CloseMenus();
    }
}

// A pop-up window (no frame, no menu bar) answers a menu key with the menu
// of the window that owns it; a framed window without a menu bar is a window
// of its own, and its menu keys wake no other window's menus.
TEST(UiMenuKeys, APopUpWindowOpensItsOwnersMenuAndAFramedWindowDoesNot)
{
    struct Case {
        MenuKey stroke;
        BorderStyle border;
    };
    const Case cases[] = {
        {{"pop-up, Alt+F", Qt::Key_F, Qt::AltModifier, "&File"}, bsNone},
        {{"pop-up, Alt+E, a disabled menu", Qt::Key_E, Qt::AltModifier, ""}, bsNone},
        {{"pop-up, Ctrl+F", Qt::Key_F, Qt::ControlModifier, ""}, bsNone},
        {{"dialog, Alt+F", Qt::Key_F, Qt::AltModifier, ""}, bsDialog},
        {{"sizeable window, Alt+F", Qt::Key_F, Qt::AltModifier, ""}, bsSizeable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stroke.what);
        MenuWindow w;
        auto* popup = new Form(&w.form);
        popup->SetBorderStyle(c.border);
        auto* field = new Edit(*popup);
        popup->Show();
        ProcessMessages();
        field->SetFocus();
        ASSERT_TRUE(popup->Widget()->isActiveWindow());
        QTest::keyClick(field->Widget(), c.stroke.key, c.stroke.modifiers);
        ProcessMessages();
        ProcessMessages();
        EXPECT_EQ(OpenMenu(), c.stroke.opens);
        EXPECT_EQ(popup->Widget()->isActiveWindow(), *c.stroke.opens == 0);
        EXPECT_EQ(field->Text(), "");
        CloseMenus();
    }
}
