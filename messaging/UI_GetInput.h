// The SIM toolkit's input dialog: the SIM's question, the lengths it allows, and an edit that
// keeps only what the question's kind allows (or a yes/no choice). OK refuses an answer below
// the minimum length with a box and stays open with the text kept.
#pragma once

#include "FeatureWindow.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>
#include <string>

class TgetInput final : public QDialog, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TgetInput(feature::FeatureHost &host);

    QLabel *Label_InputBoxCaption;
    QLabel *MinLength, *MinLengthValue, *MaxLength, *MaxLengthValue;
    QLineEdit *Edit_InputBox;
    QComboBox *ComboBoxYesOrNo;
    QPushButton *ImButton_OK, *ImButton_Cancel;

    // Prepares the dialog for one question (the prompt in the system code page).
    void Prepare(uint32_t kind, uint32_t minimum, uint32_t maximum, const std::string &prompt);
    // Asks it modally: the answer in the system code page, or nothing when cancelled.
    std::optional<std::string> Ask(uint32_t kind, uint32_t minimum, uint32_t maximum,
                                   const std::string &prompt);
    // The answer as OK would send it ("1"/"0" for yes/no); nothing while it is too short.
    std::optional<std::string> Answer() const;

    void ImButton_OKClick();
    void Edit_InputBoxChange(const QString &text);

private:
    uint32_t m_kind = 0;
    uint32_t m_minimum = 0;
    uint32_t m_maximum = 0;
    QString m_lastValid;
};
