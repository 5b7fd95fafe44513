// Hit testing of a skinned frame's parts for moving and sizing, shared by
// frames and dialogs.
#pragma once

#include <windows.h>

class SkinnedWindow;

// The code for window-relative (x, y): a label's code, the caption parts,
// the sizing edges and corners (5 x 5) when `sizable` (else the caption or
// 0), HTCLIENT in the client part, and `outside` anywhere else.
int HitTestFrameParts(SkinnedWindow& window, int x, int y, bool sizable, int outside);
// Whether (x, y) lies in one of the three top parts.
bool InCaptionParts(const SkinnedWindow& window, int x, int y);
