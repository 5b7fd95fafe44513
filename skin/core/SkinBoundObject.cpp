#include "core/SkinBoundObject.h"

SkinObject* SkinBoundObject::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = skinObject_;
    skinObject_ = skinObject;
    return previous;
}
