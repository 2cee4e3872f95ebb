#include "UI_AboutBox.h"

#include "WindowParts.h"

#include "platform/ResStringManager.h"
#include "skin/FaceManager.h"

#include "lumacore.h"

#include <QMouseEvent>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kRowTop = 96;
constexpr int kRowHeight = 18;
constexpr int kCaptionLeft = 24;
constexpr int kCaptionWidth = 160;
constexpr int kValueLeft = kCaptionLeft + kCaptionWidth + 4;
constexpr int kValueWidth = TAboutBox::kWidth - kValueLeft - 12;

// A text the engine wrote into a zeroed buffer; a buffer it filled to the end is cut there.
template <size_t N>
QString bufferText(const std::array<char, N> &buffer)
{
    return QString::fromLocal8Bit(buffer.data(), qsizetype(strnlen(buffer.data(), N)));
}

}  // namespace

bool TAboutBox::mayAskBoardVersions(const AboutBoxContext &context)
{
    const bool callBusy =
        context.callState == 1 || context.callState == 6 || context.callState == 15;
    const bool connectionChanging = context.connectionState == 1 || context.connectionState == 2 ||
                                    context.connectionState == 4;
    return context.cardState != 1 && !callBusy && !connectionChanging;
}

TAboutBox::TAboutBox(QWidget *owner, const AboutBoxContext &context)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(platform::GetLanguageString(1053));
    setFixedSize(kWidth, kHeight);
    applyLightWindowColours(this);
    const BrandHead head = addBrandHead(this, "YBBACKIMAGE_BACK");
    YBBACKIMAGE_BACK = head.background;
    LogoImage = head.logo;
    Label_ProductName = head.productName;

    Label_PCSoftwareVersionCaption = makeLabel(this, "Label_PCSoftwareVersionCaption");
    Label_PCSoftwareVersion = makeLabel(this, "Label_PCSoftwareVersion");
    Label_PCSoftwareInterVersionCaption = makeLabel(this, "Label_PCSoftwareInterVersionCaption");
    Label_PCSoftwareInterVersion = makeLabel(this, "Label_PCSoftwareInterVersion");
    Label_BoardSoftwareVersionCaption = makeLabel(this, "Label_BoardSoftwareVersionCaption");
    Label_BoardSoftwareVersion = makeLabel(this, "Label_BoardSoftwareVersion");
    Label_BoardSoftwareInterVersionCaption =
        makeLabel(this, "Label_BoardSoftwareInterVersionCaption");
    Label_BoardSoftwareInterVersion = makeLabel(this, "Label_BoardSoftwareInterVersion");
    Label_HardwareVersionCaption = makeLabel(this, "Label_HardwareVersionCaption");
    Label_HardwareVersion = makeLabel(this, "Label_HardwareVersion");
    Label_IMEI = makeLabel(this, "Label_IMEI");
    Label_IMEINumber = makeLabel(this, "Label_IMEINumber");
    Label_IMSI = makeLabel(this, "Label_IMSI");
    Label_IMSINumber = makeLabel(this, "Label_IMSINumber");
    Label_Rights = makeLabel(this, "Label_Rights", 11);
    Label_Rights->setGeometry(kCaptionLeft, 214, kWidth - kCaptionLeft - 12, 18);

    YbUrlLabel_HomePage = new skin::LinkLabel(this);
    YbUrlLabel_HomePage->setObjectName(QStringLiteral("YbUrlLabel_HomePage"));
    YbUrlLabel_HomePage->setGeometry(kCaptionLeft, 196, 200, 18);
    // There is no home page to point at; the link stays hidden.
    YbUrlLabel_HomePage->hide();

    {
        const skin::ScopedFaceManager faces(skin::FaceManager::kVariantOthers);
        const QString pcKey = QStringLiteral("ABOUT.LABEL_PCSOFTWAREVERSIONCAPTION");
        const QString boardKey = QStringLiteral("ABOUT.LABEL_BOARDSOFTWAREVERSIONCAPTION");
        faces.apply(Label_PCSoftwareVersionCaption, pcKey);
        faces.apply(Label_PCSoftwareVersion, pcKey);
        for (QLabel *label :
             {Label_BoardSoftwareVersionCaption, Label_BoardSoftwareVersion,
              Label_HardwareVersionCaption, Label_HardwareVersion, Label_IMEI, Label_IMEINumber})
            faces.apply(label, boardKey);
        faces.apply(YbUrlLabel_HomePage, QStringLiteral("ABOUT.YbUrlLabel_HomePage"));
        faces.apply(YBBACKIMAGE_BACK, QStringLiteral("ABOUT.YBBACKIMAGE_BACK"));
        faces.apply(Label_Rights, QStringLiteral("ABOUT.LABEL_RIGHTS"));
    }

    Label_ProductName->setText(QStringLiteral("Brisa Internet"));
    Label_PCSoftwareVersionCaption->setText(platform::GetLanguageString(1065));
    Label_PCSoftwareVersion->setText(platform::GetLanguageString(1068));
    Label_BoardSoftwareVersionCaption->setText(platform::GetLanguageString(1066));
    Label_HardwareVersionCaption->setText(platform::GetLanguageString(1067));
    Label_PCSoftwareInterVersionCaption->setText(platform::GetLanguageString(1088));
    Label_PCSoftwareInterVersion->setText(platform::GetLanguageString(1087));
    Label_BoardSoftwareInterVersionCaption->setText(platform::GetLanguageString(1089));
    Label_Rights->setText(platform::GetLanguageString(1050));

    Label_PCSoftwareInterVersionCaption->setVisible(context.showInternalVersions);
    Label_PCSoftwareInterVersion->setVisible(context.showInternalVersions);
    // The card's lines appear only once the card has answered.
    for (QLabel *label : {Label_BoardSoftwareVersionCaption, Label_BoardSoftwareVersion,
                          Label_BoardSoftwareInterVersionCaption, Label_BoardSoftwareInterVersion,
                          Label_HardwareVersionCaption, Label_HardwareVersion})
        label->hide();
    Label_IMSI->hide();
    Label_IMSINumber->hide();

    if (context.askCard) {
        readImei();
        if (mayAskBoardVersions(context))
            readBoardVersions(context.showInternalVersions);
    } else {
        Label_IMEI->clear();
    }
    layoutRows();

    if (owner && owner->window()->isVisible())
        move(owner->window()->frameGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TAboutBox::readImei()
{
    std::array<char, MEC_IMEI_TEXT_SIZE> imei{};
    // A failed read leaves the buffer unspecified: the row is then left empty.
    const QString text = _MEC_QueryImei(imei.data()) == MEC_OK ? bufferText(imei) : QString();
    if (!text.isEmpty()) {
        Label_IMEINumber->setText(text);
        Label_IMEI->setText(platform::GetLanguageString(21));
    } else {
        Label_IMEI->clear();
        Label_IMEINumber->clear();
    }
}

void TAboutBox::readBoardVersions(bool showInternalVersions)
{
    std::array<char, MEC_VERSION_TEXT_SIZE> software{};
    std::array<char, MEC_VERSION_TEXT_SIZE> internal{};
    if (_MEC_GetSoftwareVersion(software.data(), internal.data()) == 0) {
        Label_BoardSoftwareVersion->setText(bufferText(software));
        Label_BoardSoftwareVersion->show();
        Label_BoardSoftwareVersionCaption->show();
        if (showInternalVersions) {
            const QString internalText = bufferText(internal);
            Label_BoardSoftwareInterVersion->setText(
                internalText == QLatin1String("1") ? QString::fromLatin1(kOldInternalVersionText)
                                                   : internalText);
            Label_BoardSoftwareInterVersion->show();
            Label_BoardSoftwareInterVersionCaption->show();
        }
    }
    std::array<char, MEC_VERSION_TEXT_SIZE> board{};
    if (_MEC_GetBoardVersion(board.data()) == 0) {
        Label_HardwareVersion->setText(bufferText(board));
        Label_HardwareVersion->show();
        Label_HardwareVersionCaption->show();
    }
}

void TAboutBox::layoutRows()
{
    const std::vector<std::pair<QLabel *, QLabel *>> rows = {
        {Label_PCSoftwareVersionCaption, Label_PCSoftwareVersion},
        {Label_PCSoftwareInterVersionCaption, Label_PCSoftwareInterVersion},
        {Label_BoardSoftwareVersionCaption, Label_BoardSoftwareVersion},
        {Label_BoardSoftwareInterVersionCaption, Label_BoardSoftwareInterVersion},
        {Label_HardwareVersionCaption, Label_HardwareVersion},
        {Label_IMEI, Label_IMEINumber},
        {Label_IMSI, Label_IMSINumber},
    };
    int top = kRowTop;
    for (const auto &[caption, value] : rows) {
        caption->setGeometry(kCaptionLeft, top, kCaptionWidth, kRowHeight);
        value->setGeometry(kValueLeft, top, kValueWidth, kRowHeight);
        // isHidden, not isVisible: the box itself is not shown yet. A row whose caption is
        // empty (no language file) still takes its line when it has a value, so two values
        // never land on the same line.
        if (!caption->isHidden() && !(caption->text().isEmpty() && value->text().isEmpty()))
            top += kRowHeight;
    }
}

void TAboutBox::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TAboutBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    done(QDialog::Accepted);
}
