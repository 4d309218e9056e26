#pragma once
// The main window's navigation tree with its bank branch kept current: a
// node that opens a bank channel sheet ("[St_ChBank]...,Bank n") shows the
// icon of the bank's trunking type, filled when the bank holds channels,
// and its caption follows the bank's name.
//
// Events: 59 refreshes the bank icons, 60 renames the node of bank p2 to the
// event's text, 61 re-reads bank p2's name from the working image.
#include "core/cmcEvMan.h"
#include "ui/cuiTree.h"

class iuiTree : public cuiTree {
public:
    // Icons of the tree's image list: the type's base, + 1 with channels.
    static constexpr int ConventionalIcon = 4;
    static constexpr int SmarTrunkIcon = 6;
    static constexpr int LtrIcon = 8;
    static constexpr int TrunkedIcon = 10; // ZEPH and multisite banks

    iuiTree(plat::Container* owner, cmcGTex* texts, const std::string& key, plat::ImageList* images);
    ~iuiTree() override;

    // Every bank node from `first` in node order up to its next sibling (to
    // the end of the tree when it has none) gets the icon of its bank.
    void UpdateBankIcons(plat::TreeNode* first);
    // Over the same nodes: the first bank node of bank n takes the caption.
    void RenameBankNode(plat::TreeNode* first, int bank, const std::string& caption);
    void OnEvent(const dst_Event* event);

    // The icon of bank b: by its type (LTR, SmarTrunk, ZEPH or multisite,
    // else conventional, tested in that order), filled when it holds
    // channels.
    static int BankIcon(int b);

private:
    cmcEvSubscription m_events;
};
