// The recipient picker without a widget: the contacts of a storage on the left, the chosen ones
// on the right, moves between the two, and the recipients text the message composer takes.
#pragma once

#include "logic/BL_Pb.h"

#include <QString>
#include <QStringList>

#include <vector>

struct RecipientRow {
    QString name;
    QString phone;        // the number the message goes to (the mobile unless another was picked)
    QStringList numbers;  // the contact's non-empty numbers
    bool checked = false;
};

class RecipientChoice {
public:
    // Fills the left side with every contact of the storage, sorted by name; empties the right.
    void Fill(TBL_pb &store, uint8_t storage);
    // Moves the checked rows from one side to the other (unchecked where they land).
    void MoveRight() { move(m_left, m_right); }
    void MoveLeft() { move(m_right, m_left); }

    std::vector<RecipientRow> &left() { return m_left; }
    std::vector<RecipientRow> &right() { return m_right; }

    // The phones of the right side, each followed by ";", the last ";" dropped.
    QString Recipients() const;

private:
    static void move(std::vector<RecipientRow> &from, std::vector<RecipientRow> &to);

    std::vector<RecipientRow> m_left, m_right;
};
