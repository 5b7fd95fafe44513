#include "controls/SkinnedCheckBox.h"

int SkinnedCheckBox::NextState(LONG_PTR style, int state)
{
    switch (style & 0x1F) {
    case BS_AUTOCHECKBOX:
        return state == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
    case BS_AUTO3STATE:
        return state == BST_INDETERMINATE ? BST_UNCHECKED : state + 1;
    default:
        return state;
    }
}

void SkinnedCheckBox::OnClick()
{
    const int state = CheckState();
    const int next = NextState(Style(), state);
    if (next != state)
        SetCheckState(next);
}
