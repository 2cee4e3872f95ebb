// Every skin key the program's windows apply, with the look each one gets and its size.
// The generator draws the skin from this table, and the tests check the generated files
// against it.
#pragma once

#include <vector>

namespace skingen {

enum class SkinFile { Main, Others };  // ArgBrisaMain (the main window), ArgBrisaOthers

enum class Look {
    // Pictures ("Image").
    MainBackground,    // the whole main window, fuchsia outside its rounded corners
    MainTitleLeft,     // left end of the title bar
    MainTitle,         // middle of the title bar
    MainTitleRight,    // right end of the title bar
    MainStatusStrip,   // status strip along the bottom
    PageBackground,    // a page shown in the main window's content panel
    SideColumn,        // the settings pages' column of navigation buttons
    DialogBackground,  // the whole of a dialog
    BodyPanel,         // the light inner panel of a dialog
    CaptionStrip,      // the blue title strip of a dialog (also image panels used as title)
    PageHeader,        // the header strip of a page
    FooterStrip,       // the strip under a dialog's list, where its buttons sit
    SidePanel,         // a tinted column beside a form
    Illustration,      // the picture of the data connection page
    InputField,        // the number display of the call window
    KeypadPanel,       // the panel under the call window's keypad
    AboutBackground,   // splash and About box
    PopupBody,         // the body of the small notice pop-up
    // Image controls ("Image", "Image Hot", "Image Pushed").
    TitleIcon,   // icon on a blue title bar (close, minimise)
    StatusIcon,  // indicator in the main window's status strip
    // Image buttons (three frames stacked: normal, disabled, pushed; "Color", "Hot Color").
    Button,
    PrimaryButton,
    SideButton,
    TabButton,
    NavButton,  // main window navigation: icon only
    KeypadButton,
    DialButton,
    HangupButton,
    GlyphButton,  // an icon on a standard button
    ConnectButton,
    // Image list ("Image0", "Image1", ...).
    ConnectAnimation,
    // Colours only.
    TextLabel,    // "Color"
    AccentLabel,  // "Color"
    TxLabel,      // "Color"
    RxLabel,      // "Color"
    MutedLabel,   // "Color"
    ChoiceColor,  // radio buttons and check boxes: "Color"
    ViewEdit,     // edit boxes: "Color" is their background
    Link,         // link labels: "Color", "Hot Color"
};

struct SkinKey {
    const char *key;
    SkinFile file;
    Look look;
    int width = 0;  // picture size; 0 for colour-only keys
    int height = 0;
    const char *glyph = "";  // icon name (see Icons.h) or keypad text
};

const std::vector<SkinKey> &skinKeys();

enum class KeyKind { Picture, ImageControl, Button, ImageList, Colour };
KeyKind kindOf(Look look);

// Members of the connection animation list.
inline constexpr int kConnectAnimationFrames = 5;

}  // namespace skingen
