// Type codes of the skin object types, where each may stand in a container,
// the names the skin source gives them, and the creation of an object of a
// type with its defaults.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <cstdint>
#include <memory>

class SkinObject;

enum SkinTypeCode : int32_t {
    kTypeFrame = 1,
    kTypeReserved2 = 2,
    kTypeCaptionButton = 3,
    kTypeButton = 4,
    kTypeCheckBox = 5,
    kTypeComboBox = 6,
    kTypeEdit = 7,
    kTypeGroupBox = 8,
    kTypeListBox = 9,
    kTypeProgress = 10,
    kTypeRadio = 11,
    kTypeScrollBar = 12,
    kTypeTrackBar = 13,
    kTypeStatic = 14,
    kTypeStatusBar = 15,
    kTypeTab = 16,
    kTypePopupMenu = 17,
    kTypeImage = 18,
    kTypeExtraObject = 19,
    kTypeMenuBar = 20,
    kTypeToolBar = 23,
    kTypeControlBar = 24,
    kTypeSkinInfo = 25,
    kTypeIpAddress = 26,
    kTypeSpin = 27,
    kTypeListView = 28,
    kTypeTreeView = 29,
    kTypeRichEdit = 30,
    kTypeRebar = 36,
    kTypeHeader = 37,
    kTypeFrameLabel = 38,
    kTypeReserved39 = 39,
    kTypeAnimate = 40,
    kTypeCustomProperty = 100,
};

// Codes the object section accepts; any other is skipped on its own.
bool IsTopLevelTypeCode(int32_t code);
// Codes a child list accepts; any other is skipped on its own.
bool IsChildTypeCode(int32_t code);

// A new object of that code with its defaults, for the codes of the object
// section and child lists; null for other codes or when memory runs out.
std::unique_ptr<SkinObject> CreateSkinObject(int32_t code);

// The name the skin source uses for a code ("FrameSkin", "EditSkin"), or
// null for codes without one.
const char* SkinTypeName(int32_t code);
// The code of a source type name (ignoring case), or 0.
int32_t SkinTypeFromName(const char* name);
