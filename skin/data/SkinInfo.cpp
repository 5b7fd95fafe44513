#include "data/SkinInfo.h"

#include <cstring>

#include "data/SkinTypes.h"

namespace {

const COLORREF kTransparentMagenta = 0xFF00FF;

void SetText(char (&field)[SkinInfo::kTextSize], const char* text)
{
    std::strncpy(field, text, SkinInfo::kTextSize - 1);
}

}  // namespace

SkinInfo::SkinInfo()
    : SkinObject(kTypeSkinInfo), author(), description(), application(), useTransparentColour(1), email(), homePage()
{
    keyColour = kTransparentMagenta;
    SetText(author, "Veltramox Builder");
    SetText(description, "Veltramox Skin File");
    SetText(email, "support@veltramox.com");
    SetText(homePage, "http://www.veltramox.com");
    AdoptSchema(RecordSchema());
}

const Schema& SkinInfo::RecordSchema()
{
    static const Schema schema = [] {
        SchemaBuilder builder(kTypeSkinInfo, "SkinInfo");
        AddCommonRecord(builder);
        builder.Field("author", FieldKind::String, SKIN_MEMBER(SkinInfo, author))
            .Key("AUTHOR")
            .Field("description", FieldKind::String, SKIN_MEMBER(SkinInfo, description))
            .Key("DESCRIPTION")
            .Field("application", FieldKind::String, SKIN_MEMBER(SkinInfo, application))
            .Key("APPLICATION")
            .Field("useTransparentColour", FieldKind::Bool, SKIN_MEMBER(SkinInfo, useTransparentColour))
            .Key("USETRANSPARENTCOLOR")
            .Field("email", FieldKind::String, SKIN_MEMBER(SkinInfo, email), VersionRange::Since(4))
            .Key("EMAIL")
            .Field("homePage", FieldKind::String, SKIN_MEMBER(SkinInfo, homePage), VersionRange::Since(4))
            .Key("HOMEPAGE");
        return builder.Build();
    }();
    return schema;
}
