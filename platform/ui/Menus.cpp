#include "platform/ui/Menus.h"

#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace plat {

// ---- shortcuts ----

namespace {

struct KeyName {
    const char* name;
    int key;
};
constexpr KeyName kKeyNames[] = {
    {"BkSp", VK_BACK},  {"Tab", VK_TAB},     {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Space", VK_SPACE},
    {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},   {"End", VK_END},      {"Home", VK_HOME},  {"Left", VK_LEFT},
    {"Up", VK_UP},      {"Right", VK_RIGHT}, {"Down", VK_DOWN},    {"Ins", VK_INSERT}, {"Del", VK_DELETE},
};
struct Modifier {
    const char* name;
    ShortCut bit;
};
constexpr Modifier kModifiers[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

int KeyOfName(std::string_view name)
{
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    for (const KeyName& k : kKeyNames)
        if (SameLetters(name, k.name)) return k.key;
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return 0;
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) return VK_F1 + n - 1;
    }
    return 0;
}

} // namespace

ShortCut TextToShortCut(std::string_view text)
{
    ShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& m : kModifiers) {
            const std::string_view name = m.name;
            if (text.size() > name.size() && SameLetters(text.substr(0, name.size()), name)) {
                modifiers |= m.bit;
                text.remove_prefix(name.size());
                found = true;
            }
        }
    }
    const int key = text.empty() ? 0 : KeyOfName(text);
    return key == 0 ? 0 : key | modifiers;
}

std::string ShortCutToText(ShortCut shortCut)
{
    const int key = shortCut & 0xFF;
    if (key == 0) return {};
    std::string text;
    for (const Modifier& m : kModifiers)
        if ((shortCut & m.bit) != 0) text += m.name;
    for (const KeyName& k : kKeyNames)
        if (k.key == key) return text + k.name;
    if (key >= VK_F1 && key <= VK_F12) return text + "F" + std::to_string(key - VK_F1 + 1);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return text + static_cast<char>(key);
    return {};
}

namespace {

QKeySequence KeySequenceOf(ShortCut shortCut)
{
    const int key = QtKeyOf(shortCut & 0xFF);
    if (key == 0) return {};
    unsigned bits = 0;
    if ((shortCut & scShift) != 0) bits |= ssShift;
    if ((shortCut & scCtrl) != 0) bits |= ssCtrl;
    if ((shortCut & scAlt) != 0) bits |= ssAlt;
    return QKeySequence(QKeyCombination(ModifiersOf(ShiftState(bits)), static_cast<Qt::Key>(key)));
}

} // namespace

// ---- MenuItem ----

MenuItem::MenuItem(Component* owner) : Component(owner), m_action(new QAction())
{
    QObject::connect(m_action, &QAction::triggered, m_action, [this] {
        // Qt flips the check mark of a checkable item; the item's own state
        // decides. The click itself runs once the menu has closed.
        m_action->setChecked(m_checked);
        QMetaObject::invokeMethod(m_action, [this] { GuardHandler([this] { Click(); }); }, Qt::QueuedConnection);
    });
}

MenuItem::MenuItem(Component* owner, QWidget* container, std::function<void()> onItemsChanged)
    : Component(owner), m_container(container), m_onItemsChanged(std::move(onItemsChanged))
{
}

MenuItem::~MenuItem()
{
    m_onItemsChanged = nullptr;
    while (!m_items.empty()) delete m_items.back();
    if (m_parent != nullptr) m_parent->Remove(this);
    delete m_subMenu;
    delete m_action;
}

void MenuItem::SetCaption(const std::string& caption)
{
    m_caption = caption;
    if (m_action == nullptr) return;
    m_action->setSeparator(caption == "-");
    ShowPlacement();
}

void MenuItem::SetShortCut(ShortCut shortCut)
{
    m_shortCut = shortCut;
    ShowPlacement();
}

bool MenuItem::InMainMenu() const
{
    const MenuItem* root = this;
    while (root->m_parent != nullptr) root = root->m_parent;
    return qobject_cast<QMenuBar*>(root->m_container) != nullptr;
}

void MenuItem::ShowPlacement()
{
    if (m_action != nullptr) {
        const bool live = InMainMenu();
        // The key is named in our own words in every menu (the toolkit would
        // name some keys differently in the main menu: "Return" for Enter).
        QString text = IsSeparator() ? QString() : ToQString(m_caption);
        if (m_shortCut != 0 && !IsSeparator()) text += QLatin1Char('\t') + ToQString(ShortCutToText(m_shortCut));
        m_action->setText(text);
        m_action->setShortcut(live ? KeySequenceOf(m_shortCut) : QKeySequence());
        m_action->setShortcutContext(Qt::WindowShortcut);
    }
    for (MenuItem* item : m_items) item->ShowPlacement();
}

void MenuItem::SetChecked(bool checked)
{
    m_checked = checked;
    if (m_action == nullptr) return;
    // Only a checked item shows a mark (and room for one).
    m_action->setCheckable(checked);
    m_action->setChecked(checked);
}

void MenuItem::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (m_action != nullptr) m_action->setEnabled(enabled);
}

void MenuItem::SetVisible(bool visible)
{
    m_visible = visible;
    if (m_action != nullptr) m_action->setVisible(visible);
}

void MenuItem::Click()
{
    if (!m_enabled) return;
    if (OnClick) OnClick(*this);
}

int MenuItem::IndexOf(const MenuItem* item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

QWidget* MenuItem::SubItemWidget()
{
    if (m_container != nullptr) return m_container;
    if (m_subMenu == nullptr) m_subMenu = new QMenu();
    if (m_action->menu() != m_subMenu) m_action->setMenu(m_subMenu);
    return m_subMenu;
}

void MenuItem::Insert(int index, MenuItem* item)
{
    if (item == nullptr || item == this || item->m_action == nullptr) return;
    for (const MenuItem* p = this; p != nullptr; p = p->m_parent)
        if (p == item) return; // an item cannot lie under itself
    if (item->m_parent != nullptr) item->m_parent->Remove(item);
    index = std::clamp(index, 0, Count());
    QWidget* widget = SubItemWidget();
    QAction* before = index < Count() ? m_items[static_cast<size_t>(index)]->m_action : nullptr;
    widget->insertAction(before, item->m_action);
    m_items.insert(m_items.begin() + index, item);
    item->m_parent = this;
    item->ShowPlacement();
    if (m_onItemsChanged) m_onItemsChanged();
}

MenuItem* MenuItem::Add(const std::string& caption, std::function<void(MenuItem&)> onClick)
{
    auto* item = new MenuItem();
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    Add(item);
    return item;
}

void MenuItem::Remove(MenuItem* item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end()) return;
    m_items.erase(it);
    item->m_parent = nullptr;
    item->ShowPlacement();
    SubItemWidget()->removeAction(item->m_action);
    if (m_items.empty() && m_action != nullptr) m_action->setMenu(nullptr);
    if (m_onItemsChanged) m_onItemsChanged();
}

void MenuItem::Clear()
{
    while (!m_items.empty()) delete m_items.back();
}

// ---- MainMenu ----

MainMenu::MainMenu(Form& form) : Component(&form), m_form(form), m_bar(new QMenuBar(form.m_window))
{
    m_bar->setNativeMenuBar(false);
    m_root = new MenuItem(this, m_bar, [this] { m_form.LayoutWindow(); });
    delete m_form.m_menu;
    m_form.m_menu = this;
    m_bar->show();
    m_form.LayoutWindow();
}

MenuItem* MainMenu::ItemOfMenuKey(int qtKey) const
{
    if (qtKey < Qt::Key_A || qtKey > Qt::Key_Z) return nullptr;
    const QKeySequence wanted(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(qtKey)));
    for (int i = 0; i < m_root->Count(); ++i) {
        MenuItem* item = m_root->Items(i);
        if (item->Visible() && item->Enabled() && QKeySequence::mnemonic(ToQString(item->Caption())) == wanted)
            return item;
    }
    return nullptr;
}

void MainMenu::OpenItem(MenuItem* item)
{
    if (item != nullptr && item->m_parent == m_root) m_bar->setActiveAction(item->m_action);
}

MainMenu::~MainMenu()
{
    delete m_root;
    const bool shown = m_form.m_menu == this;
    if (shown) m_form.m_menu = nullptr;
    delete m_bar;
    if (shown) m_form.LayoutWindow();
}

// ---- PopupMenu ----

PopupMenu::PopupMenu(Component* owner) : Component(owner), m_menu(new QMenu())
{
    m_root = new MenuItem(this, m_menu, {});
}

PopupMenu::~PopupMenu()
{
    delete m_root;
    delete m_menu;
}

void PopupMenu::Popup(int screenX, int screenY)
{
    if (OnPopup) OnPopup();
    m_menu->popup(QPoint(screenX, screenY));
}

} // namespace plat
