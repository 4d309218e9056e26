#pragma once
// Menus: a form's main menu (its menu bar) and pop-up menus, each a tree of
// menu items.
//
// An item with sub-items opens a sub-menu. Sub-items are freed with the item
// they lie under; an item may also have an owner, which frees it (and so
// takes it out of its menu) when the owner is freed. An item may be freed
// at any time with `delete` and leaves its menu. A click reaches OnClick once
// the menu has closed.
//
// Shortcuts: an item in a main menu answers its shortcut key while its
// window is active (as a click). An item in a pop-up menu only shows its
// shortcut's text, so that the same shortcut on a main-menu item stays
// unambiguous.
#include "platform/ui/Control.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace plat {

class Form;

// A shortcut key: a virtual-key code (Keys.h) with modifier bits; 0 for
// none.
using ShortCut = int;
inline constexpr ShortCut scShift = 0x2000;
inline constexpr ShortCut scCtrl = 0x4000;
inline constexpr ShortCut scAlt = 0x8000;

// The shortcut of a text: modifier names joined by '+' with a key name, in
// any letter case ("Ctrl+C", "Shift+Del", "Ctrl+Alt+F5", "Enter"). Keys: a
// letter or digit, F1 to F12, BkSp, Tab, Enter, Esc, Space, PgUp, PgDn,
// End, Home, Left, Up, Right, Down, Ins, Del. 0 for anything else.
ShortCut TextToShortCut(std::string_view text);
// The text of a shortcut in those names ("" for 0).
std::string ShortCutToText(ShortCut shortCut);

class MenuItem : public Component {
public:
    explicit MenuItem(Component* owner = nullptr);
    ~MenuItem() override;

    const std::string& Caption() const { return m_caption; }
    // "-" makes the item a separator; '&' marks the access key, "&&" shows
    // an ampersand.
    void SetCaption(const std::string& caption);
    bool IsSeparator() const { return m_caption == "-"; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    void* Tag() const { return m_tag; }
    void SetTag(void* tag) { m_tag = tag; }
    ShortCut GetShortCut() const { return m_shortCut; }
    void SetShortCut(ShortCut shortCut);
    // The item's picture in an image list (-1: none). Menus show no
    // pictures; the index is kept for whoever reads it.
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index) { m_imageIndex = index; }

    std::function<void(MenuItem& sender)> OnClick;
    // Chooses the item as a person would: nothing happens while it is
    // disabled.
    void Click();

    MenuItem* Parent() const { return m_parent; }
    int Count() const { return static_cast<int>(m_items.size()); }
    MenuItem* Items(int index) const { return m_items.at(static_cast<size_t>(index)); }
    int IndexOf(const MenuItem* item) const;
    // Places an item under this one (taking it from where it lay).
    void Add(MenuItem* item) { Insert(Count(), item); }
    void Insert(int index, MenuItem* item);
    // Creates a sub-item (freed with this item).
    MenuItem* Add(const std::string& caption, std::function<void(MenuItem&)> onClick = {});
    // Takes a sub-item out without freeing it.
    void Remove(MenuItem* item);
    // Frees every sub-item.
    void Clear();

private:
    friend class MainMenu;
    friend class PopupMenu;
    // The root item of a menu: its sub-items appear on `container`.
    MenuItem(Component* owner, QWidget* container, std::function<void()> onItemsChanged);
    QWidget* SubItemWidget();
    // Whether the item lies (at any depth) in a main menu.
    bool InMainMenu() const;
    // Shows the caption and binds or shows the shortcut, for the item and
    // the items under it, as fits where they lie now.
    void ShowPlacement();

    std::string m_caption;
    bool m_checked = false;
    bool m_enabled = true;
    bool m_visible = true;
    void* m_tag = nullptr;
    ShortCut m_shortCut = 0;
    int m_imageIndex = -1;
    QAction* m_action = nullptr;
    QMenu* m_subMenu = nullptr;
    QWidget* m_container = nullptr;
    std::function<void()> m_onItemsChanged;
    MenuItem* m_parent = nullptr;
    std::vector<MenuItem*> m_items;
};

// The menu bar of a form, above its client area; the form owns it. A new
// main menu replaces (and frees) the form's old one.
class MainMenu : public Component {
public:
    explicit MainMenu(Form& form);
    ~MainMenu() override;

    // The items shown on the bar.
    MenuItem& Items() { return *m_root; }
    QMenuBar* Bar() const { return m_bar; }
    // The item of the bar that Alt with the key opens (the letter after '&'
    // in its caption, in either case), when it is shown and enabled; null
    // when there is none.
    MenuItem* ItemOfMenuKey(int qtKey) const;
    // Opens the item's menu, as its menu key does.
    void OpenItem(MenuItem* item);

private:
    Form& m_form;
    QMenuBar* m_bar;
    MenuItem* m_root;
};

class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* owner = nullptr);
    ~PopupMenu() override;

    MenuItem& Items() { return *m_root; }
    // Whether the control that shows the menu opens it by itself on a click
    // of the right mouse button (on by default).
    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool on) { m_autoPopup = on; }
    // Runs before the menu opens.
    std::function<void()> OnPopup;
    // Opens the menu at a desktop point; returns at once.
    void Popup(int screenX, int screenY);
    QMenu* Menu() const { return m_menu; }

private:
    QMenu* m_menu;
    MenuItem* m_root;
    bool m_autoPopup = true;
};

} // namespace plat
