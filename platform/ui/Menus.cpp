#include "platform/ui/Menus.h"

#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace plat {

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
    m_action->setText(caption == "-" ? QString() : ToQString(caption));
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
