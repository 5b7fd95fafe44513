// The smallest base of everything the engine binds to a skin object:
// skinned windows and the elements placed on their frames.
#pragma once

#include <windows.h>

class SkinObject;

class SkinBoundObject {
public:
    SkinBoundObject() = default;
    SkinBoundObject(const SkinBoundObject&) = delete;
    SkinBoundObject& operator=(const SkinBoundObject&) = delete;

    virtual void Paint(HDC hdc) = 0;
    // Binds the object to `skinObject` (a pointer into the current store,
    // not owned) and returns the previous one.
    virtual SkinObject* SetSkinObject(SkinObject* skinObject);
    virtual ~SkinBoundObject() = default;

    SkinObject* GetSkinObject() const { return skinObject_; }

protected:
    SkinObject* skinObject_ = nullptr;
};
