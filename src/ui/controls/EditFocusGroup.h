#pragma once
#include <memory>
#include <vector>

// Text editors that belong together: Tab moves the keyboard focus along the
// group's members. Every member holds a share of one member list; when any
// member goes, the list is emptied for all of them.
namespace Control {

class EditFocusGroup {
public:
    using Members = std::shared_ptr<std::vector<EditFocusGroup*>>;

    EditFocusGroup() = default;
    virtual ~EditFocusGroup();
    EditFocusGroup(const EditFocusGroup&) = delete;
    EditFocusGroup& operator=(const EditFocusGroup&) = delete;

    // Takes (true) or gives up (false) the keyboard focus.
    virtual void setFocus(bool take) = 0;
    // Whether the member can take the focus now.
    virtual bool canFocus() = 0;

    // Joins the shared member list and appends itself to it.
    void setGroup(const Members& list);
    // The member after this one (before it when `backward`) that can take the
    // focus, going round the list; null when there is none.
    EditFocusGroup* nextFocusable(bool backward) const;

    Members members;
};

}  // namespace Control
