#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/EditFocusGroup.h"

namespace Edit {
class Object;
}

// What the rows of the object settings panel read of the panel: the object
// shown, which section of it the rows show, the panel's display options and
// the keyboard-focus chain their text fields join. The panel owns one; a
// test may stand one up alone.
namespace Component {

class SettingPanelState {
public:
    // "SectionViewMode": how number rows show values across sections.
    enum SectionView : int32_t { kOnePoint = 0, kTwoPointsOnly = 1, kWholeSection = 2 };

    // The object shown; none when no object has the focus.
    std::shared_ptr<Edit::Object> object;

    // Section state. The count is midpoints + 1, 0 when it must be computed
    // again; the current point is the section boundary nearest the reference
    // frame (0 = the object's start, count = its end); the shown index is the
    // section holding the frame in kWholeSection mode, else the current point.
    int32_t sectionCount = 0;
    int32_t currentPoint = 0;
    int32_t shownIndex = 0;

    // Options of the panel's own setting group.
    int32_t sectionViewMode = kWholeSection;
    int32_t slideMouseHidden = 0;    // the pointer stays put while a slider is dragged
    int32_t sliderButtonHidden = 0;  // no minus and plus buttons on the sliders
    int32_t sliderCursorHidden = 0;  // no value-position mark on the sliders

    // Computes the section state for a frame of the shown object (nothing
    // without one).
    void calcSectionIndex(int32_t frame);

    // The chain that text fields made from now on join (made on first use).
    const Control::EditFocusGroup::Members& focusChain();
    // Starts a new chain: the next field to join begins it.
    void clearFocusChain() { focusChain_.reset(); }

private:
    Control::EditFocusGroup::Members focusChain_;
};

}  // namespace Component
