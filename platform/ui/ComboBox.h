#pragma once
// A drop-down list: the user picks one of its items (there is no typing).
#include "platform/ui/Control.h"

#include <string>
#include <vector>

namespace plat {

class ComboBox : public Control {
public:
    explicit ComboBox(Container& parent);

    const std::vector<std::string>& Items() const { return m_items; }
    void AddItem(const std::string& item);
    void SetItems(const std::vector<std::string>& items);
    // The item picked, -1 for none. New items (SetItems) start with none
    // picked; an index outside the items picks none.
    int ItemIndex() const;
    void SetItemIndex(int index);

private:
    std::vector<std::string> m_items;
};

} // namespace plat
