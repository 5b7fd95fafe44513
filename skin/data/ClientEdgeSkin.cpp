#include "data/ClientEdgeSkin.h"

#include <map>

#include "data/SkinTypes.h"

ClientEdgeSkin::ClientEdgeSkin(int32_t typeCode) : ControlSkinBase(typeCode), background()
{
    SetWindowColours();
    AdoptSchema(SchemaFor(typeCode));
}

bool ClientEdgeSkin::IsClientEdgeType(int32_t typeCode)
{
    switch (typeCode) {
    case kTypeEdit:
    case kTypeListBox:
    case kTypeIpAddress:
    case kTypeListView:
    case kTypeTreeView:
    case kTypeRichEdit:
        return true;
    default:
        return false;
    }
}

const Schema& ClientEdgeSkin::SchemaFor(int32_t typeCode)
{
    static const std::map<int32_t, Schema> schemas = [] {
        const int32_t codes[] = {kTypeEdit, kTypeListBox, kTypeIpAddress, kTypeListView, kTypeTreeView, kTypeRichEdit};
        std::map<int32_t, Schema> built;
        for (int32_t code : codes) {
            SchemaBuilder builder(code, SkinTypeName(code));
            AddControlRecord(builder, "BORDER");
            builder.KeyFor("backColour", "BACKCOLOR")
                .KeyFor("backColour", "DISABLEDCOLOR")
                .Field("background", FieldKind::Image, SKIN_MEMBER(ClientEdgeSkin, background))
                .Key("BACKGROUND");
            built.emplace(code, builder.Build());
        }
        return built;
    }();
    return schemas.at(IsClientEdgeType(typeCode) ? typeCode : kTypeEdit);
}

void ClientEdgeSkin::SetWindowColours()
{
    backColour = GetSysColor(COLOR_WINDOW);
    textColour = GetSysColor(COLOR_WINDOWTEXT);
    keyColour = GetSysColor(COLOR_BTNFACE);
}

void ClientEdgeSkin::ApplyVersionFixups(uint8_t minor)
{
    ControlSkinBase::ApplyVersionFixups(minor);
    if (minor <= 10)
        SetWindowColours();
}
