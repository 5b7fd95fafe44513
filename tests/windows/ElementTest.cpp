// The element base: show codes, anchors, the plain picture, redrawing.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "Surface.h"
#include "data/ButtonPart.h"

using namespace ElementColours;

namespace {

POINT Centre(const FrameElement& element)
{
    const RECT& rect = element.Rect();
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

ButtonPartBase& PartOf(FrameElement& element)
{
    return *static_cast<ButtonPartBase*>(element.GetSkinObject());
}

}  // namespace

TEST(ElementTest, MaximiseAndRestoreButtonsShareAPlaceAndOneIsShownByState)
{
    ElementTestWindow window;
    CaptionButton* maximise = window.Button("Max");
    CaptionButton* restore = window.Button("Restore");
    ASSERT_TRUE(maximise && restore);

    for (bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        window.MarkState(maximised ? WS_MAXIMIZE : 0);
        Surface surface(kDesignWidth, kDesignHeight, kBackground);
        window.DrawElements(surface);
        ASSERT_TRUE(EqualRect(&maximise->Rect(), &restore->Rect()));
        const POINT centre = Centre(*maximise);

        EXPECT_EQ(maximise->IsVisible(), !maximised);
        EXPECT_EQ(restore->IsVisible(), maximised);
        EXPECT_EQ(maximise->HitTest(centre.x, centre.y), !maximised);
        EXPECT_EQ(restore->HitTest(centre.x, centre.y), maximised);
        EXPECT_EQ(surface.At(centre.x, centre.y), maximised ? kRestore : kIdle);
    }
}

TEST(ElementTest, ButtonsFollowTheEdgesTheirAnchorsName)
{
    ElementTestWindow window;
    const int wider = 50;
    const int taller = 30;
    window.Resize(kDesignWidth + wider, kDesignHeight + taller);
    Surface surface(kDesignWidth + wider, kDesignHeight + taller, kBackground);
    window.DrawElements(surface);

    struct Case {
        const char* name;
        POINT moved;
    } const cases[] = {
        {"Sys", {0, 0}},           // anchor 0
        {"Close", {wider, 0}},     // anchor 4
        {"Min", {wider, 0}},       // anchor 6
        {"Down", {0, taller}},     // anchor 2
        {"DownToo", {0, taller}},  // anchor 8
        {"Corner", {wider, taller}},  // anchor 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameElement* element = window.Element(c.name);
        ASSERT_TRUE(element);
        RECT expected = element->Placement();
        OffsetRect(&expected, c.moved.x, c.moved.y);
        EXPECT_TRUE(EqualRect(&element->Rect(), &expected));
        // Drawn where it now is (right of its key-coloured corner).
        EXPECT_EQ(surface.At(expected.right - 2, expected.bottom - 2), kIdle);
    }
    // Nothing is left at the design place of a button that moved.
    const RECT& closeDesign = window.Element("Close")->Placement();
    EXPECT_EQ(surface.At(closeDesign.right - 2, closeDesign.bottom - 2), kBackground);
}

TEST(ElementTest, LabelsFollowTheirAnchorSwitches)
{
    ElementTestWindow window;
    FrameLabel* label = window.Label("Fit");
    FrameLabelSkin* skin = window.LabelSkin("Fit");
    ASSERT_TRUE(label && skin);
    const RECT design = label->Placement();  // 60 50 90 60
    const int wider = 50;
    const int taller = 30;
    window.Resize(kDesignWidth + wider, kDesignHeight + taller);
    Surface surface(kDesignWidth + wider, kDesignHeight + taller, kBackground);

    struct Case {
        const char* what;
        int32_t left, top, right, bottom;
        RECT expected;
    } const cases[] = {
        {"none", 0, 0, 0, 0, design},
        {"left and top", 1, 1, 0, 0, design},
        {"right", 0, 0, 1, 0, {design.left + wider, design.top, design.right + wider, design.bottom}},
        {"left and right", 1, 0, 1, 0, {design.left, design.top, design.right + wider, design.bottom}},
        {"bottom", 0, 0, 0, 1, {design.left, design.top + taller, design.right, design.bottom + taller}},
        {"top and bottom", 0, 1, 0, 1, {design.left, design.top, design.right, design.bottom + taller}},
        {"all four", 1, 1, 1, 1, {design.left, design.top, design.right + wider, design.bottom + taller}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        skin->anchors[0] = c.left;
        skin->anchors[1] = c.top;
        skin->anchors[2] = c.right;
        skin->anchors[3] = c.bottom;
        window.DrawElements(surface);
        EXPECT_EQ(label->Rect().left, c.expected.left);
        EXPECT_EQ(label->Rect().top, c.expected.top);
        EXPECT_EQ(label->Rect().right, c.expected.right);
        EXPECT_EQ(label->Rect().bottom, c.expected.bottom);
    }
}

TEST(ElementTest, ShowCodesFollowTheWindowState)
{
    ElementTestWindow window;
    FrameElement* element = window.Element("Command");
    ASSERT_TRUE(element);
    ButtonPartBase& part = PartOf(*element);
    auto shownWith = [&](int32_t code) {
        part.showCode = code;
        return element->IsVisible();
    };

    EXPECT_TRUE(shownWith(FrameElement::ShowAlways));
    EXPECT_NE(shownWith(FrameElement::ShowActive), shownWith(FrameElement::ShowInactive));
    EXPECT_TRUE(shownWith(FrameElement::ShowEnabled));
    EXPECT_FALSE(shownWith(FrameElement::ShowDisabled));
    EXPECT_TRUE(shownWith(FrameElement::ShowNotMinimised));
    EXPECT_FALSE(shownWith(FrameElement::ShowMinimised));
    EXPECT_FALSE(shownWith(9));
    EXPECT_FALSE(shownWith(-1));

    EnableWindow(window.Window(), FALSE);
    EXPECT_FALSE(shownWith(FrameElement::ShowEnabled));
    EXPECT_TRUE(shownWith(FrameElement::ShowDisabled));
    EnableWindow(window.Window(), TRUE);

    window.MarkState(WS_MINIMIZE);
    EXPECT_TRUE(shownWith(FrameElement::ShowMinimised));
    EXPECT_FALSE(shownWith(FrameElement::ShowNotMinimised));
    EXPECT_TRUE(shownWith(FrameElement::ShowNotMaximised));

    // A hidden element is not hit either.
    part.showCode = FrameElement::ShowNotMinimised;
    const POINT centre = Centre(*element);
    EXPECT_FALSE(element->HitTest(centre.x, centre.y));
}

TEST(ElementTest, PlainElementDrawsItsPictureOrItsBackColour)
{
    ElementTestWindow window;
    FrameElement* picture = window.Element("Shape");
    FrameElement* empty = window.Element("Fit");
    ASSERT_TRUE(picture && empty);
    PartOf(*empty).backColour = kPressed;
    const RECT place = {40, 40, 60, 60};
    FrameElement plainPicture(place, window.Skin());
    plainPicture.SetSkinObject(picture->GetSkinObject());
    FrameElement plainEmpty(place, window.Skin());
    plainEmpty.SetSkinObject(empty->GetSkinObject());

    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(plainPicture, surface);
    // Once, at the corner, as the image's draw mode says; the key colour is
    // no concern of a plain picture.
    EXPECT_EQ(surface.At(45, 45), kLabel);
    EXPECT_EQ(surface.At(40, 40), kKey);
    DrawChecked(plainEmpty, surface);
    EXPECT_TRUE(surface.AllAre(40, 40, 60, 60, kPressed));

    EXPECT_TRUE(plainPicture.HitTest(40, 40));
    EXPECT_FALSE(plainPicture.HitTest(60, 50));
    plainPicture.DispatchMouse(WM_LBUTTONDOWN, 45, 45);
    plainPicture.DispatchMouse(WM_LBUTTONUP, 45, 45);
    EXPECT_TRUE(window.TakePosted(WM_COMMAND).empty());
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());
}

TEST(ElementTest, EnablingAHiddenElementDoesNotPaintIt)
{
    ElementTestWindow window(true, true);
    CaptionButton* maximise = window.Button("Max");
    CaptionButton* restore = window.Button("Restore");
    ASSERT_TRUE(maximise && restore);
    const POINT centre = Centre(*maximise);
    maximise->SetEnabled(true);
    EXPECT_EQ(window.PixelOnScreen(centre.x, centre.y), kIdle);
    restore->SetEnabled(false);
    restore->SetEnabled(true);
    EXPECT_EQ(window.PixelOnScreen(centre.x, centre.y), kIdle);
}
