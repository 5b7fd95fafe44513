// Types 7 (edit), 9 (list box), 26 (IP address), 28 (list view), 29 (tree
// view) and 30 (rich edit): controls with a client edge. One class; each
// object keeps the type code it was created with.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include "data/ControlSkinBase.h"

class ClientEdgeSkin : public ControlSkinBase {
public:
    // typeCode: one of the six codes above.
    explicit ClientEdgeSkin(int32_t typeCode);

    void ApplyVersionFixups(uint8_t minor) override;

    static bool IsClientEdgeType(int32_t typeCode);

    // The key colour of the common record holds the disabled background.
    ImageRef background;

private:
    static const Schema& SchemaFor(int32_t typeCode);
    void SetWindowColours();
};
