#pragma once
// The behaviours of the cell labels. Every label (0 to 1395) has one:
//   - a family behaviour: the label families list their labels with the
//     function that shows and edits them (LabelFamilies.cpp joins them);
//   - the default text "<label> *Yet*" for the labels that have no
//     behaviour of their own (a data table), and for any label above 1396;
//   - nothing at all (an empty text) for CL_Null, Flex_Language_ChNo, the
//     cells of the MDC aliases 2 to 5 and 1396 (no label).
#include <functional>
#include <span>
#include <vector>

class indCellCall;

using LabelBehaviour = void (*)(indCellCall& call);

struct LabelBehaviourEntry {
    int Label;
    LabelBehaviour Behaviour;
};

// The families' tables. A label claimed twice, or claimed although it is a
// default-text or silent label, is a fatal fault.
std::vector<std::span<const LabelBehaviourEntry>> LabelFamilies();

// The families.
std::span<const LabelBehaviourEntry> CloneInfoCells(); // cells/CloneInfoCells.cpp

// The labels whose behaviour is the default text, in ascending order.
std::span<const int> DefaultTextLabels();
bool IsDefaultTextLabel(int label);
// The labels that do nothing (their text stays empty).
bool IsSilentLabel(int label);
// The family behaviour of a label, or null when it has none (yet).
LabelBehaviour FamilyBehaviour(int label);

// The default behaviour: "%d *Yet*" with the label number, nothing else.
void DefaultLabelBehaviour(indCellCall& call);

// Runs the behaviour of the call's label (CL_Null when a stage handled the
// call).
void RunLabelBehaviour(indCellCall& call);

// Tests put a behaviour of their own in place of a label's for the
// lifetime of the guard.
class ScopedLabelBehaviour {
public:
    using Behaviour = std::function<void(indCellCall& call)>;
    ScopedLabelBehaviour(int label, Behaviour behaviour);
    ~ScopedLabelBehaviour();
    ScopedLabelBehaviour(const ScopedLabelBehaviour&) = delete;
    ScopedLabelBehaviour& operator=(const ScopedLabelBehaviour&) = delete;

private:
    int m_label;
    Behaviour m_previous;
};
