#include "UI_CallSound.h"

#include "WindowControls.h"

#include "config/BL_File.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QBoxLayout>
#include <QWheelEvent>

namespace calls {

namespace {

constexpr int kWarning = 2;

// The sliders take no wheel: a call's level changes only when the user lets go of the slider.
class NoWheel : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::Wheel; }
};

}  // namespace

CallSoundControls::CallSoundControls(QWidget &window, QBoxLayout &row,
                                     std::function<void(const QString &)> message)
    : QObject(&window),
      m_message(std::move(message)),
      m_audio(FileStore().folder(), m_message),
      m_microphone(m_audio)
{
    MicrophoneLabel = NamedLabel(&window, "MicrophoneLabel",
                                 platform::GetLanguageString(text::kMicrophone));
    MicrophoneTrackBar = NamedControl<QSlider>(&window, "MicrophoneTrackBar", Qt::Horizontal);
    MicrophoneTrackBar->setRange(0, CallAudio::kMicrophoneLevels - 1);
    MicrophoneTrackBar->setPageStep(1);
    MicrophoneTrackBar->setTickPosition(QSlider::TicksBelow);
    MicrophoneTrackBar->setFixedWidth(90);
    MicrophoneTrackBar->setValue(CallMicrophone::savedLevel());
    MicrophoneTrackBar->installEventFilter(new NoWheel(MicrophoneTrackBar));  // owned by it
    MuteCheckBox = NamedButton<QCheckBox>(&window, "MuteCheckBox", 3078);
    row.addWidget(MicrophoneLabel);
    row.addWidget(MicrophoneTrackBar);
    row.addWidget(MuteCheckBox);
    // Shown only where they act on something: a card whose sound comes to the computer.
    for (QWidget *control : std::initializer_list<QWidget *>{MicrophoneLabel, MicrophoneTrackBar,
                                                             MuteCheckBox})
        control->setVisible(false);

    connect(MicrophoneTrackBar, &QSlider::sliderReleased, this,
            &CallSoundControls::MicrophoneTrackBarReleased);
    connect(MuteCheckBox, &QCheckBox::clicked, this, &CallSoundControls::MuteCheckBoxClick);
}

void CallSoundControls::callStateChanged(CallState state)
{
    m_audio.setCallConnected(state != kCallIdle && state != kCallIncoming &&
                             state != kCallDialling);
}

void CallSoundControls::cardReady()
{
    MicrophoneTrackBar->setValue(CallMicrophone::savedLevel());
    if (const std::optional<bool> muted = CallMicrophone::cardMuted())
        MuteCheckBox->setChecked(*muted);
    const bool shown = m_audio.portPresent();
    for (QWidget *control : std::initializer_list<QWidget *>{MicrophoneLabel, MicrophoneTrackBar,
                                                             MuteCheckBox})
        control->setVisible(shown);
}

void CallSoundControls::MicrophoneTrackBarReleased()
{
    if (m_microphone.setLevel(MicrophoneTrackBar->value()))
        return;
    MicrophoneTrackBar->setValue(CallMicrophone::savedLevel());
    platform::ShowMessageBox(MicrophoneTrackBar->window(), platform::GetLanguageString(5012),
                             kWarning);
}

void CallSoundControls::MuteCheckBoxClick(bool checked)
{
    if (!m_microphone.setMuted(checked))
        MuteCheckBox->setChecked(!checked);
}

}  // namespace calls
