#include "platform/ui/ComboBox.h"

#include "platform/ui/QtAccess.h"

#include <QComboBox>

namespace plat {

ComboBox::ComboBox(Container& parent) : Control(nullptr, &parent, new QComboBox(parent.ClientWidget()))
{
    static_cast<QComboBox*>(Widget())->setEditable(false);
    SetBounds(0, 0, 145, 21);
}

void ComboBox::AddItem(const std::string& item)
{
    m_items.push_back(item);
    auto* box = static_cast<QComboBox*>(Widget());
    const int picked = box->currentIndex();
    box->addItem(ToQString(item));
    box->setCurrentIndex(picked);
}

void ComboBox::SetItems(const std::vector<std::string>& items)
{
    m_items = items;
    auto* box = static_cast<QComboBox*>(Widget());
    box->clear();
    for (const std::string& item : items) box->addItem(ToQString(item));
    box->setCurrentIndex(-1);
}

int ComboBox::ItemIndex() const { return static_cast<QComboBox*>(Widget())->currentIndex(); }

void ComboBox::SetItemIndex(int index)
{
    static_cast<QComboBox*>(Widget())->setCurrentIndex(index >= 0 && index < static_cast<int>(m_items.size()) ? index : -1);
}

} // namespace plat
