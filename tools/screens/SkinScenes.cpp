// The skin on its own: image buttons in every state, and previews of the main window's and the
// settings pages' skin with stand-in contents.
#include "Scenes.h"

#include "platform/ResStringManager.h"
#include "skin/FaceManager.h"
#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/Logo.h"
#include "skin/SkinControls.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QBitmap>

namespace screens {

namespace {

using skin::TImButton;

enum class State { Normal, Hot, Pushed, Disabled };

void putInState(TImButton &button, State state)
{
    switch (state) {
    case State::Normal: break;
    case State::Hot: {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button.mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(&button, &enter);
        break;
    }
    case State::Pushed: {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2),
                          button.mapToGlobal(QPointF(2, 2)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&button, &press);
        break;
    }
    case State::Disabled: button.setEnabled(false); break;
    }
}

TImButton *skinnedButton(QWidget *parent, const QString &key, const QString &caption, QSize size)
{
    auto *button = new TImButton(parent);
    button->setLooks(skin::TImButtonLooks::ibkFullPicture);
    button->setPictureCount(3);
    button->setShowFullPicCaption(!caption.isEmpty());
    button->setTransparent(true);
    button->setFocusRect(false);
    button->setText(caption);
    button->resize(size);
    skin::ApplyFace(button, key);
    return button;
}

QLabel *label(QWidget *parent, const QString &text, QRect geometry, bool bold = false,
              QColor colour = QColor(0x1F, 0x3A, 0x56))
{
    auto *shown = new QLabel(text, parent);
    shown->setGeometry(geometry);
    QFont font = shown->font();
    font.setPixelSize(12);
    font.setBold(bold);
    shown->setFont(font);
    QPalette colours = shown->palette();
    colours.setColor(QPalette::WindowText, colour);
    shown->setPalette(colours);
    return shown;
}

QImage buttonSheet()
{
    struct Row {
        const char *what;
        const char *key;
        const char *caption;
        QSize size;
    };
    const Row rows[] = {
        {"Primary", "MESSAGEBOX.BTOK", "OK", {80, 24}},
        {"Standard", "SETNET.BTCANCEL", "Cancel", {80, 24}},
        {"Wide", "SETSECURITY.BTMODPIN", "Change PIN", {110, 24}},
        {"Settings page", "SETMENU.NETCFGBUTTON", "Network", {134, 30}},
        {"Folder tab", "SMS_MAIN.BTNRECEIVEBOX", "Inbox", {100, 28}},
        {"Connect", "DATACONNECT.IMBUTTONCONNECT", "Connect", {128, 36}},
        {"Keypad", "CALLMANAGER.IMBUTTON5", "", {56, 34}},
        {"Dial / hang up", "CALLMANAGER.IMBUTTONDIAL", "", {88, 34}},
        {"", "CALLMANAGER.IMBUTTONHANGUP", "", {88, 34}},
        {"Delete", "CALLMANAGER.IMBUTTONDELETE", "", {56, 34}},
        {"Browse", "SETSOUND.BTBROWER", "", {28, 22}},
    };
    const State states[] = {State::Normal, State::Hot, State::Pushed, State::Disabled};
    const char *stateNames[] = {"Normal", "Hot", "Pushed", "Disabled"};
    const int rowHeight = 44, firstColumn = 120, columnWidth = 150, top = 36;
    const int navTop = top + int(std::size(rows)) * rowHeight + 12;

    QWidget sheet;
    sheet.setFixedSize(firstColumn + 4 * columnWidth + 10, navTop + 84);
    QPalette colours = sheet.palette();
    colours.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    sheet.setPalette(colours);
    sheet.setAutoFillBackground(true);

    for (int column = 0; column < 4; ++column)
        label(&sheet, QString::fromLatin1(stateNames[column]),
              QRect(firstColumn + column * columnWidth, 8, columnWidth, 20), true);

    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    std::vector<std::pair<TImButton *, State>> placed;
    if (skin::ChooseFaceSkin(2)) {
        for (size_t row = 0; row < std::size(rows); ++row) {
            const Row &r = rows[row];
            const int y = top + int(row) * rowHeight;
            label(&sheet, QString::fromLatin1(r.what),
                  QRect(10, y, firstColumn - 14, r.size.height()));
            for (int column = 0; column < 4; ++column) {
                TImButton *button = skinnedButton(&sheet, QString::fromLatin1(r.key),
                                                  QString::fromLatin1(r.caption), r.size);
                button->move(firstColumn + column * columnWidth, y);
                placed.emplace_back(button, states[column]);
            }
        }
    }
    skin::DestroyFaceManager();

    // Navigation buttons sit on the main window's blue band.
    auto *band = new QWidget(&sheet);
    band->setGeometry(0, navTop, sheet.width(), 72);
    QPalette bandColours = band->palette();
    bandColours.setColor(QPalette::Window, QColor(0x1A, 0x71, 0xC2));
    band->setPalette(bandColours);
    band->setAutoFillBackground(true);
    label(band, QStringLiteral("Navigation"), QRect(10, 26, firstColumn - 14, 20), false,
          Qt::white);
    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    if (skin::ChooseFaceSkin(1)) {
        for (int column = 0; column < 4; ++column) {
            TImButton *button =
                skinnedButton(band, QStringLiteral("MAIN.INTERNETBUTTON"), {}, {64, 60});
            button->move(firstColumn + column * columnWidth, 6);
            placed.emplace_back(button, states[column]);
        }
    }
    skin::DestroyFaceManager();

    sheet.show();
    runEventsFor(30);
    for (auto &[button, state] : placed)
        putInState(*button, state);
    return grabShown(sheet);
}

QImage mainSkin()
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(640, 480);
    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    const bool skinned = skin::ChooseFaceSkin(1);

    auto *back = new skin::BackImage(&window);
    back->setGeometry(0, 0, 640, 480);
    back->setColorKeyed(true);
    skin::ApplyFace(back, QStringLiteral("MAIN.YBBACKIMAGE"));
    const auto piece = [&](const char *key, QRect geometry) {
        auto *image = new skin::BackImage(&window);
        image->setGeometry(geometry);
        image->setColorKeyed(true);
        skin::ApplyFace(image, QString::fromLatin1(key));
    };
    piece("MAIN.YBBACKIMAGE_TITLE_LEFT", {0, 0, 12, 36});
    piece("MAIN.YBBACKIMAGE_TITLE", {12, 0, 616, 36});
    piece("MAIN.YBBACKIMAGE_TITLE_RIGHT", {628, 0, 12, 36});
    piece("MAIN.YBBACKIMAGE_UNDER", {0, 452, 640, 28});

    auto *logo = new skin::TImImage(&window);
    logo->setGeometry(10, 5, 26, 26);
    skin::LoadTitleLogo(logo);
    label(&window, platform::GetLanguageString(1001), QRect(41, 8, 300, 20), true, Qt::white);
    const auto icon = [&](const char *key, QRect geometry) {
        auto *image = new skin::TImImage(&window);
        image->setGeometry(geometry);
        skin::ApplyFace(image, QString::fromLatin1(key));
        return image;
    };
    icon("MAIN.IMIMAGE_TITLE_MINIMIZE", {586, 8, 20, 20});
    icon("MAIN.IMIMAGE_TITLE_CLOSE", {612, 8, 20, 20})->setStatus(skin::TImImage::Hot);

    const char *navigation[] = {"MAIN.FIRSTPAGEBUTTON", "MAIN.INTERNETBUTTON", "MAIN.MSGBUTTON",
                                "MAIN.PONEBOOKBUTTON",  "MAIN.CONFIGBUTTON",   "MAIN.STKBUTTON",
                                "MAIN.HELPBUTTON"};
    std::vector<TImButton *> buttons;
    for (size_t i = 0; i < std::size(navigation); ++i) {
        TImButton *button =
            skinnedButton(&window, QString::fromLatin1(navigation[i]), {}, {64, 60});
        button->move(24 + int(i) * 86, 40);
        buttons.push_back(button);
    }
    icon("MAIN.IMIMAGE_NEWSMS", {560, 457, 20, 18});
    icon("MAIN.IMIMAGE_INCOMINGCALL", {584, 457, 20, 18});
    label(&window, QStringLiteral("Movara 3G   HSDPA"), QRect(14, 457, 200, 18));
    label(&window, QStringLiteral("12:30"), QRect(608, 457, 40, 18));
    auto *welcome =
        label(&window, platform::GetLanguageString(1010), QRect(40, 150, 560, 60), true);
    QFont big = welcome->font();
    big.setPixelSize(20);
    welcome->setFont(big);
    skin::DestroyFaceManager();

    window.setMask(back->Picture().isNull()
                       ? QRegion(0, 0, 640, 480)
                       : QRegion(QBitmap::fromImage(
                             skin::withColorKey(back->Picture().toImage(), QColor(255, 0, 255))
                                 .createAlphaMask())));
    window.show();
    runEventsFor(30);
    if (skinned) {
        putInState(*buttons[1], State::Pushed);
        putInState(*buttons[5], State::Disabled);
    }
    QImage shot = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    // Outside the window's shape shows as transparent in the picture.
    const QRegion shape = window.mask();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!shape.contains(QPoint(x, y)))
                shot.setPixel(x, y, 0);
    return shot;
}

QImage settingsSkin()
{
    QWidget area;
    area.setFixedSize(624, 340);
    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    skin::ChooseFaceSkin(2);
    auto *column = new skin::BackImage(&area);
    column->setGeometry(0, 0, 150, 340);
    skin::ApplyFace(column, QStringLiteral("SETMENU.BKIMAGE"));
    const char *pages[][2] = {
        {"SETMENU.CFGFILEBUTTON", "Profiles"}, {"SETMENU.SAFECFGBUTTON", "Security"},
        {"SETMENU.NETCFGBUTTON", "Network"},   {"SETMENU.MSGCFGBUTTON", "Messages"},
        {"SETMENU.SOUNDCFGBUTTON", "Sounds"},  {"SETMENU.RESTORECFGBUTTON", "Restore defaults"}};
    for (size_t i = 0; i < std::size(pages); ++i) {
        TImButton *button = skinnedButton(&area, QString::fromLatin1(pages[i][0]),
                                          QString::fromLatin1(pages[i][1]), {134, 30});
        button->move(8, 12 + int(i) * 38);
        if (i == 2)
            button->setEnabled(false);  // the page on show
    }
    auto *page = new skin::BackImage(&area);
    page->setGeometry(150, 0, 474, 340);
    skin::ApplyFace(page, QStringLiteral("SETNET.BKIMAGE"));
    auto *header = new skin::BackImage(page);
    header->setGeometry(0, 0, 474, 28);
    skin::ApplyFace(header, QStringLiteral("SETNET.TITLEIMAGE"));
    label(page, QStringLiteral("Network settings"), QRect(20, 5, 300, 18), true);
    label(page, QStringLiteral("Network type"), QRect(24, 44, 200, 18), true);
    const char *choices[] = {"Automatic", "3G only", "2G only"};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(QString::fromLatin1(choices[i]), page);
        radio->setGeometry(40, 68 + i * 24, 200, 20);
        radio->setChecked(i == 0);
        skin::ApplyFace(radio, QStringLiteral("SETNETEDIT.RADIO_AUTO_APN"));
    }
    TImButton *manual = skinnedButton(page, QStringLiteral("SETNET.BTMANUALSELECT"),
                                      QStringLiteral("Select..."), {110, 24});
    manual->move(40, 150);
    TImButton *apply =
        skinnedButton(page, QStringLiteral("SETNET.BTAPPLY"), QStringLiteral("Apply"), {80, 24});
    apply->move(474 - 2 * 80 - 30, 300);
    TImButton *cancel =
        skinnedButton(page, QStringLiteral("SETNET.BTCANCEL"), QStringLiteral("Cancel"), {80, 24});
    cancel->move(474 - 80 - 16, 300);
    skin::DestroyFaceManager();
    return grabShown(area);
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("imagebuttons"),
                    QStringLiteral("image buttons of the skin in each state"), buttonSheet}),
    SceneRegistrar({QStringLiteral("skin-main"),
                    QStringLiteral("the main window's skin with stand-in contents"), mainSkin}),
    SceneRegistrar({QStringLiteral("skin-settings"),
                    QStringLiteral("a settings page's skin with stand-in contents"), settingsSkin}),
};

}  // namespace

}  // namespace screens
