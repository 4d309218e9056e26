#include "core/CellNames.h"

#include "core/cmcHash.h"
#include "platform/base/Fatal.h"

#include <array>
#include <memory>

namespace {

constexpr int CategoryCount = CT_NoCategory;
constexpr int LabelCount = CL_NoLabel;
constexpr int UnnamedLabel = 1022;

// Names by value, built from the same lists as the enumerations, so that an
// enumerator and its name cannot differ. A value given twice or left out
// stops the compilation.
constexpr std::array<const char*, CategoryCount> MakeCategoryNames()
{
    std::array<const char*, CategoryCount> names{};
#define QM_CELL_NAME_ENTRY(name, value) \
    if (names[value] != nullptr) throw "category value given twice"; \
    names[value] = #name;
    QM_CELL_CATEGORIES(QM_CELL_NAME_ENTRY)
#undef QM_CELL_NAME_ENTRY
    for (const char* name : names)
        if (name == nullptr) throw "category value without a name";
    return names;
}

constexpr std::array<const char*, LabelCount> MakeLabelNames()
{
    std::array<const char*, LabelCount> names{};
#define QM_CELL_NAME_ENTRY(name, value) \
    if (names[value] != nullptr) throw "label value given twice"; \
    names[value] = #name;
    QM_CELL_LABELS(QM_CELL_NAME_ENTRY)
#undef QM_CELL_NAME_ENTRY
    for (int value = 0; value < LabelCount; ++value)
        if ((names[value] == nullptr) != (value == UnnamedLabel)) throw "label value without a name";
    return names;
}

constexpr auto CategoryNames = MakeCategoryNames();
constexpr auto LabelNames = MakeLabelNames();

// One table holds both kinds of name. A label is stored with its value and a
// category with -1 - value, so a name of the wrong kind is refused like an
// unknown one.
int StoredCategory(int value) { return -1 - value; }

struct NameTable {
    std::unique_ptr<cmcHash> hash;
    bool categoriesLoaded = false;
    bool labelsLoaded = false;
};

NameTable& Names()
{
    static NameTable table;
    return table;
}

cmcHash& Hash()
{
    CreateNameHash();
    return *Names().hash;
}

} // namespace

void CreateNameHash()
{
    NameTable& table = Names();
    if (!table.hash) table.hash = std::make_unique<cmcHash>(cmcHash::DefaultBucketCount);
}

void DestroyNameHash()
{
    NameTable& table = Names();
    table.hash.reset();
    table.categoriesLoaded = false;
    table.labelsLoaded = false;
}

int CategoryIndex(const std::string& name)
{
    if (name.empty()) return CT_NoCategory;
    cmcHash& hash = Hash();
    NameTable& table = Names();
    if (!table.categoriesLoaded) {
        table.categoriesLoaded = true;
        for (int value = 0; value < CategoryCount; ++value)
            hash.Insert(CategoryNames[value], StoredCategory(value));
    }
    const cmcHash::Node* node = hash.Find(name);
    if (!node || node->value >= 0) plat::Fatal("Cannot use the specified category.\n'" + name + "'");
    return -1 - node->value;
}

int CellLabelIndex(const std::string& name)
{
    if (name.empty()) return CL_NoLabel;
    cmcHash& hash = Hash();
    NameTable& table = Names();
    if (!table.labelsLoaded) {
        table.labelsLoaded = true;
        for (int value = 0; value < LabelCount; ++value)
            if (LabelNames[value]) hash.Insert(LabelNames[value], value);
    }
    const cmcHash::Node* node = hash.Find(name);
    if (!node || node->value < 0) plat::Fatal("Cannot use the specified cell.\n'" + name + "'");
    return node->value;
}

std::string CellLabelName(int value)
{
    if (value < 0 || value >= LabelCount || !LabelNames[value]) return "";
    return LabelNames[value];
}
